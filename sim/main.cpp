// tevra-ecm-sim: an emulated 68HC11 engine controller in bootstrap mode on
// a pseudo-terminal, for rehearsing bootload, read and flash without a car.
#include "SimOptions.h"
#include "SimRunner.h"
#include "TevraVersion.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void onStopSignal(int) {
    stopRequested.store(true);
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a pending poll returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const tevra::sim::SimOptionsResult parsed = tevra::sim::parseSimOptions(args);
    if (parsed.helpRequested) {
        std::fputs(tevra::sim::simUsage().c_str(), stdout);
        return 0;
    }
    if (parsed.versionRequested) {
        std::puts("tevra-ecm-sim " TEVRA_VERSION);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "tevra-ecm-sim: %s\n%s", parsed.error.c_str(),
                     tevra::sim::simUsage().c_str());
        return 2;
    }
    installSignalHandlers();
    return tevra::sim::runSimulator(*parsed.options, stopRequested);
}
