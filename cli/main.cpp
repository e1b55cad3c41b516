// tevra-cli: the calibration model without a window.
#include "CommandRegistry.h"
#include "TevraVersion.h"

#include <csignal>
#include <iostream>

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#endif

using namespace tevra::cli;

namespace {
void printUsage(std::ostream& out) {
    out << "usage: tevra-cli COMMAND ...\n\ncommands:\n";
    for (const auto& [name, c] : CommandRegistry::instance().all())
        out << "  tevra-cli " << c.usage << "\n";
}

void printHelp(std::ostream& out) {
    out << "Works on calibration images of 68HC11 engine controllers (LM, SMEC, SBEC)\n"
           "without a window: shows, converts, checks, edits and flashes them.\n\n";
    printUsage(out);
    out << "\nCommands that open a calibration accept --library DIR (search DIR for a\n"
           "definition file made for the image, by CRC-32) and --yes (accept the match).\n\n"
           "options:\n"
           "  --help     this text\n"
           "  --version  the program's version\n\n"
           "Exit code 0 means success, 1 that the operation failed (the reason on\n"
           "stderr), 2 a usage error.\n";
}
} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Listings and JSON are the same bytes on every system: lines end in LF.
    ::_setmode(::_fileno(stdout), _O_BINARY);
#endif
    if (argc < 2) {
        printUsage(std::cerr);
        return UsageError;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(std::cout);
        return Success;
    }
    if (name == "--version") {
        std::cout << "tevra-cli " << TEVRA_VERSION << "\n";
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
