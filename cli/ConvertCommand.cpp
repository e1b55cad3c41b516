// tevra-cli convert: .bin <-> .s19 by extension.
#include "CliSupport.h"
#include "PathRules.h"
#include "TextRules.h"

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    Args args(words, {"--base"}, {"--yes"});
    if (args.positional().size() != 2)
        throw UsageProblem{"expected IN and OUT"};
    const std::string& in = args.positional()[0];
    const std::string& out = args.positional()[1];
    const std::string outExt = text::toLowerAscii(path::extension(out));
    if (outExt != ".bin" && outExt != ".s19")
        throw UsageProblem{"OUT must end in .bin or .s19"};
    std::optional<std::uint32_t> base;
    if (args.has("--base")) {
        base = parseHexOption(args.value("--base"), "--base");
        if (*base > 0xFFFF)
            throw UsageProblem{"--base must lie in 0..FFFF"};
    }

    // Only the image is converted; its definitions (if any) stay where they are.
    ConsolePrompter prompter(args.has("--yes"));
    Calibration cal;
    cal.setPrompter(&prompter);
    const std::string inExt = text::toLowerAscii(path::extension(in));
    bool loaded = false;
    if (inExt == ".bin")
        loaded = cal.LoadBinary(in);
    else if (inExt.rfind(".s19", 0) == 0)
        loaded = cal.LoadS19(in);
    if (!loaded) {
        prompter.message("Failed to load binary file!", "Error");
        return Failure;
    }
    if (base) {
        requireBaseFits(*base, cal.imageLength());
        cal.baseAddress = static_cast<std::int32_t>(*base);
    } else if (inExt == ".bin")
        cal.baseAddress = 0x10000 - cal.imageLength();
    return writeImage(cal, out) ? Success : Failure;
}

const CommandRegistration registration{{"convert", "convert IN OUT [--base HEX] [--yes]", run}};

} // namespace
} // namespace tevra::cli
