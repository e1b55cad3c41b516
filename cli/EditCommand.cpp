// tevra-cli edit: Add, Flatten or Scale every point of one entry.
#include "CliSupport.h"

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"--entry", "--add", "--flatten", "--scale", "-o"});
    // --scale takes two words: XPCT YPCT. The second one is taken from the positionals.
    Args args(words, valued, kOpenFlags);
    std::vector<std::string> positional = args.positional();
    const int modes = args.has("--add") + args.has("--flatten") + args.has("--scale");
    if (modes != 1 || !args.has("--entry") || !args.has("-o"))
        throw UsageProblem{"expected IMAGE --entry NAME (--add E | --flatten E | --scale XPCT "
                           "YPCT) -o OUT"};
    double xPercent = 100, yPercent = 100;
    if (args.has("--scale")) {
        // "--scale 50 80": the Y percentage follows the X percentage.
        if (positional.size() != 2)
            throw UsageProblem{"--scale takes two numbers: XPCT YPCT"};
        xPercent = parseNumberOption(args.value("--scale"), "--scale");
        yPercent = parseNumberOption(positional[1], "--scale");
        positional.pop_back();
        if (xPercent < 0 || xPercent > 500 || yPercent < 0 || yPercent > 500)
            throw UsageProblem{"--scale percentages lie between 0 and 500"};
    }
    if (positional.size() != 1)
        throw UsageProblem{"expected one IMAGE"};
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, positional[0], args))
        return Failure;
    Calibration& cal = opened.calibration;
    CalEntry* e = cal.FindByName(args.value("--entry"), nullptr);
    if (!e) {
        opened.prompter.message("No entry named \"" + args.value("--entry") + "\".", "Error");
        return Failure;
    }
    // The model silently ignores an edit it cannot make; asked for on the command
    // line, an unchanged image must not be written as if it had been edited.
    const int type = static_cast<int>(e->type);
    if (type < 0 || type > 4 || !e->inImage()) {
        opened.prompter.message("Entry \"" + e->name +
                                    "\" cannot be edited: only tables and constants that lie "
                                    "inside the image can.",
                                "Error");
        return Failure;
    }
    cal.readOnly = false;
    if (args.has("--add"))
        e->AddToAll(static_cast<float>(parseNumberOption(args.value("--add"), "--add")));
    else if (args.has("--flatten"))
        e->SetAll(static_cast<float>(parseNumberOption(args.value("--flatten"), "--flatten")));
    else
        e->ScaleAll(static_cast<float>(xPercent / 100.0), static_cast<float>(yPercent / 100.0));
    return writeImage(cal, args.value("-o")) ? Success : Failure;
}

const CommandRegistration registration{
    {"edit",
     "edit IMAGE --entry NAME (--add E | --flatten E | --scale XPCT YPCT) -o OUT [--library DIR] "
     "[--yes]",
     run}};

} // namespace
} // namespace tevra::cli
