// tevra-cli info: what a calibration is, for a person.
#include "CliSupport.h"
#include "TextRules.h"

#include <iostream>

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    Args args(words, kOpenValued, kOpenFlags);
    if (args.positional().size() != 1)
        throw UsageProblem{"expected one IMAGE"};
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    const Calibration& cal = opened.calibration;
    std::cout << "Image:           " << cal.imagePath << "\n"
              << "Definition file: " << (cal.definitionPath.empty() ? "(none)" : cal.definitionPath)
              << "\n"
              << "Base address:    "
              << text::formatHex(static_cast<std::uint32_t>(cal.baseAddress), 4) << "\n"
              << "Length:          " << cal.imageLength() << " bytes\n"
              << "CRC-32:          " << text::formatHex(cal.ImageCrc32(), 8) << "\n"
              << "Entries:         " << cal.entriesInUse() << "\n";
    if (!cal.definitionPath.empty())
        std::cout << "Description:     " << cal.description << "\n"
                  << "Author:          " << cal.author << "\n";
    return Success;
}

const CommandRegistration registration{{"info", "info IMAGE [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
