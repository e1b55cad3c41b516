// tevra-cli crossid: name an image's tables after those of a known calibration.
#include "CliSupport.h"

#include <cmath>
#include <iostream>

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"--quality", "-o"});
    Args args(words, valued, kOpenFlags);
    if (args.positional().size() != 2 || !args.has("-o"))
        throw UsageProblem{"expected IMAGE OTHER -o OUT.tbl"};
    // The dialog's track bar: whole percentages from 0 to 100.
    double quality = 0;
    if (args.has("--quality")) {
        quality = parseNumberOption(args.value("--quality"), "--quality");
        if (quality < 0 || quality > 100 || quality != std::floor(quality))
            throw UsageProblem{"--quality takes a whole number from 0 to 100"};
    }
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    Calibration& cal = opened.calibration;

    // The model reports an OTHER it cannot load through the prompter and keeps
    // what the scan found; nothing is written then.
    const int messages = opened.prompter.messageCount();
    cal.CrossIdentify(args.positional()[1], 0.5f + static_cast<float>(quality) / 200.0f);
    if (opened.prompter.messageCount() != messages)
        return Failure;
    if (!cal.SaveDefinitions(args.value("-o"))) {
        opened.prompter.message("Failed to save TBL!", "Error");
        return Failure;
    }
    std::cout << cal.entriesInUse() << " entries in all\n";
    return Success;
}

const CommandRegistration registration{
    {"crossid", "crossid IMAGE OTHER [--quality 0..100] -o OUT.tbl [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
