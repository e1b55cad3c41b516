// tevra-cli: the calibration model without a window.
#include "CommandRegistry.h"

#include <csignal>
#include <iostream>

using namespace tevra::cli;

namespace {
void printUsage(std::ostream& out) {
    out << "usage: tevra-cli COMMAND ...\n\ncommands:\n";
    for (const auto& [name, c] : CommandRegistry::instance().all())
        out << "  tevra-cli " << c.usage << "\n";
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(std::cerr);
        return UsageError;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return Success;
    }
    const Command* c = CommandRegistry::instance().find(name);
    if (!c) {
        std::cerr << "tevra-cli: unknown command '" << name << "'\n";
        printUsage(std::cerr);
        return UsageError;
    }
#ifdef SIGXFSZ
    // A file-size limit then fails the write, and the save says so, instead of
    // killing the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string> words(argv + 2, argv + argc);
    try {
        return c->run(words);
    } catch (const UsageProblem& p) {
        std::cerr << "tevra-cli " << name << ": " << p.what << "\nusage: tevra-cli " << c->usage
                  << "\n";
        return UsageError;
    }
}
