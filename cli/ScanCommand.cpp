// tevra-cli scan: propose definitions for an image from the tables its code addresses.
#include "CliSupport.h"

#include <iostream>

namespace tevra::cli {
namespace {

// Moves the calibration to the base as the Calibration Data dialog's OK does:
// definitions keep their offsets, and those that would leave the address space
// are deleted only when the user agrees.
bool moveToBase(OpenedCalibration& opened, std::uint32_t base) {
    Calibration& cal = opened.calibration;
    const auto newBase = static_cast<std::int32_t>(base);
    if (!cal.Rebase(newBase, true) &&
        !opened.prompter.askYesNo(
            "New base address will cause some\ntables to be deleted. Continue anyway?", "Warning"))
        return false;
    cal.Rebase(newBase, false);
    return true;
}

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"--base", "-o"});
    Args args(words, valued, kOpenFlags);
    if (args.positional().size() != 1 || !args.has("-o"))
        throw UsageProblem{"expected IMAGE -o OUT.tbl"};
    std::optional<std::uint32_t> base;
    if (args.has("--base")) {
        base = parseHexOption(args.value("--base"), "--base");
        if (*base > 0xFFFF)
            throw UsageProblem{"--base must lie in 0..FFFF"};
    }
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    Calibration& cal = opened.calibration;
    if (base)
        requireBaseFits(*base, cal.imageLength());
    if (base && !moveToBase(opened, *base))
        return Failure;

    const int before = cal.entriesInUse();
    cal.ScanHeuristic();
    if (!cal.SaveDefinitions(args.value("-o"))) {
        opened.prompter.message("Failed to save TBL!", "Error");
        return Failure;
    }
    std::cout << cal.entriesInUse() - before << " entries added, " << cal.entriesInUse()
              << " in all\n";
    return Success;
}

const CommandRegistration registration{
    {"scan", "scan IMAGE [--base HEX] -o OUT.tbl [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
