#include "CliSupport.h"

#include "PathRules.h"
#include "TextRules.h"

#include <filesystem>

namespace tevra::cli {

std::int32_t proposedBase(const Calibration& cal) {
    if (text::toLowerAscii(path::extension(cal.imagePath)).rfind(".s19", 0) == 0)
        return cal.baseAddress;
    return 0x10000 - cal.imageLength();
}

bool openCalibration(OpenedCalibration& opened, const std::string& path, const Args& args) {
    Calibration& cal = opened.calibration;
    if (args.has("--library")) {
        cal.libraryFolder = args.value("--library");
        std::error_code ec;
        if (!std::filesystem::is_directory(cal.libraryFolder, ec)) {
            opened.prompter.message("\"" + cal.libraryFolder + "\" is not a folder.", "Error");
            return false;
        }
    }
    if (!cal.OpenCalibration(path))
        return false;
    // Without definitions there are no entries to move: the base is simply taken.
    if (cal.definitionPath.empty())
        cal.baseAddress = proposedBase(cal);
    return true;
}

bool useDefinitions(Calibration& cal, const std::string& tbl) {
    std::vector<std::uint8_t> image = cal.image();
    const std::string imagePath = cal.imagePath;
    Calibration probe;
    if (!probe.LoadDefinitions(tbl))
        return false;
    cal.Clear();
    cal.LoadDefinitions(tbl);
    cal.imagePath = imagePath;
    cal.SetImage(std::move(image));
    return true;
}

std::uint32_t parseHexOption(const std::string& text, const std::string& option) {
    std::string_view s = text;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s.remove_prefix(2);
    std::uint32_t v = 0;
    if (s.empty() || s.size() > 8 || !text::parseHexPrefix(s, v) ||
        s.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
        throw UsageProblem{option + " takes a hexadecimal number, not '" + text + "'"};
    return v;
}

double parseNumberOption(const std::string& text, const std::string& option) {
    double v = 0;
    std::size_t end = 0;
    if (!text::scanNumberPrefix(text, v, &end) || end != text.size())
        throw UsageProblem{option + " takes a number, not '" + text + "'"};
    return v;
}

void requireBaseFits(std::uint32_t base, std::int32_t imageLength) {
    const std::int64_t highest = 0x10000 - std::int64_t{imageLength};
    if (highest >= 0 && base <= highest)
        return;
    throw UsageProblem{highest < 0 ? std::string("the image is larger than the address space")
                                   : "--base must leave the image inside 0000-FFFF: at most " +
                                         text::formatHex(static_cast<std::uint32_t>(highest), 4)};
}

bool writeImage(Calibration& cal, const std::string& out) {
    const std::string ext = text::toLowerAscii(path::extension(out));
    if (ext == ".bin")
        return cal.SaveBinary(out);
    if (ext == ".s19") {
        // The editor saves the .bin first, whose checksum step the .s19 then
        // carries; written alone, the S-records must get the same fixed-up bytes.
        cal.PrepareImageForWrite();
        return cal.SaveS19(out);
    }
    throw UsageProblem{"the output must end in .bin or .s19: " + out};
}

} // namespace tevra::cli
