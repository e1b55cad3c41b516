// tevra-cli checksum: fix the image's checksum byte and write it out.
#include "CliSupport.h"

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"--checksum", "--fixup", "-o"});
    Args args(words, valued, kOpenFlags);
    if (args.positional().size() != 1 || !args.has("--checksum") || !args.has("--fixup") ||
        !args.has("-o"))
        throw UsageProblem{"expected IMAGE --checksum HEX --fixup HEX -o OUT"};
    const auto checksum = parseHexOption(args.value("--checksum"), "--checksum");
    const auto fixup = parseHexOption(args.value("--fixup"), "--fixup");
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    Calibration& cal = opened.calibration;
    const auto inside = [&](std::uint32_t a) {
        return a >= static_cast<std::uint32_t>(cal.baseAddress) &&
               a < static_cast<std::uint32_t>(cal.baseAddress + cal.imageLength());
    };
    if (!inside(checksum) || !inside(fixup)) {
        // The model would silently leave the image as it is; say so instead of
        // writing an unchanged image as if it had been fixed.
        opened.prompter.message("Checksum and fix-up addresses must lie inside the image.",
                                "Error");
        return Failure;
    }
    cal.checksumEnabled = true;
    cal.checksumAddress = static_cast<std::int32_t>(checksum);
    cal.fixupAddress = static_cast<std::int32_t>(fixup);
    cal.ApplyChecksum();
    cal.checksumEnabled = false; // already applied
    return writeImage(cal, args.value("-o")) ? Success : Failure;
}

const CommandRegistration registration{
    {"checksum", "checksum IMAGE --checksum HEX --fixup HEX -o OUT [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
