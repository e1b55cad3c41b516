#include "SimOptions.h"

#include <charconv>

namespace tevra::sim {

namespace {

template <typename T> std::optional<T> parseNumber(const std::string& text, int radix) {
    std::string digits = text;
    if (radix == 16 && (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0))
        digits = digits.substr(2);
    T value{};
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, radix);
    if (digits.empty() || ec != std::errc{} || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

std::string simUsage() {
    return "usage: tevra-ecm-sim --image IN.bin [--base HEX] --link PATH [--realtime|--fast]\n"
           "                     [--save OUT.bin] [--verbose] [faults]\n"
           "Emulates a 68HC11 engine controller in bootstrap mode on a pseudo-terminal;\n"
           "PATH becomes a symbolic link to its device. Runs until SIGINT or SIGTERM and\n"
           "then writes the EEPROM range of the image to OUT.bin.\n"
           "  --base HEX         address of the image's first byte (default: the image\n"
           "                     ends at FFFF, so 16 KB sit at C000 and 32 KB at 8000)\n"
           "  --realtime         pace the line and the CPU as the real part (default)\n"
           "  --fast             run as fast as possible while there is work\n"
           "faults (N counts the bytes the bootloaded program sends, from 1;\n"
           "the boot ROM's echo does not count):\n"
           "  --echo             a line that only echoes, no controller\n"
           "  --drop N           the Nth byte never reaches the editor\n"
           "  --stall-after N    nothing more is sent after N bytes\n"
           "  --hangup-after N   the line goes away (pseudo-terminal closed) after N bytes\n"
           "  --corrupt HEX      reads of this address come back with bit 0 flipped\n"
           "  --no-sdp           the EEPROM ignores the unlock sequence: writes fail\n"
           "faults on the way in (N counts the bytes the editor sends to the\n"
           "bootloaded program, from 1):\n"
           "  --drop-received N    the Nth byte never reaches the controller\n"
           "  --garble-received N  the Nth byte arrives garbled, with a framing error\n"
           "options:\n"
           "  --help             this text\n"
           "  --version          the program's version\n";
}

SimOptionsResult parseSimOptions(const std::vector<std::string>& args) {
    SimOptionsResult result;
    SimOptions o;
    bool realtimeGiven = false;
    bool fastGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto fail = [&](const std::string& why) {
            result.error = why;
            return result;
        };
        if (a == "--help" || a == "-h") {
            result.helpRequested = true;
            return result;
        }
        if (a == "--version") {
            result.versionRequested = true;
            return result;
        }
        if (a == "--realtime") {
            realtimeGiven = true;
            o.fast = false;
        } else if (a == "--fast") {
            fastGiven = true;
            o.fast = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--echo") {
            o.faults.echoOnly = true;
        } else if (a == "--no-sdp") {
            o.faults.noSdp = true;
        } else if (a == "--image" || a == "--link" || a == "--save") {
            const auto v = value();
            if (!v || v->empty())
                return fail(a + " needs a path");
            (a == "--image" ? o.imagePath : a == "--link" ? o.linkPath : o.savePath.emplace()) = *v;
        } else if (a == "--base" || a == "--corrupt") {
            const auto v = value();
            const auto n = v ? parseNumber<std::uint32_t>(*v, 16) : std::nullopt;
            if (!n || *n > 0xFFFF)
                return fail(a + " needs a hexadecimal address from 0 to FFFF");
            (a == "--base" ? o.base : o.faults.corruptAddress) = static_cast<std::uint16_t>(*n);
        } else if (a == "--drop" || a == "--stall-after" || a == "--hangup-after" ||
                   a == "--drop-received" || a == "--garble-received") {
            const auto v = value();
            const auto n = v ? parseNumber<std::uint64_t>(*v, 10) : std::nullopt;
            if (!n)
                return fail(a + " needs a byte count");
            const bool countsFromOne =
                a == "--drop" || a == "--drop-received" || a == "--garble-received";
            if (countsFromOne && *n == 0)
                return fail(a + " counts bytes from 1");
            (a == "--drop"            ? o.faults.dropByte
             : a == "--stall-after"   ? o.faults.stallAfter
             : a == "--hangup-after"  ? o.faults.hangupAfter
             : a == "--drop-received" ? o.faults.dropReceived
                                      : o.faults.garbleReceived) = *n;
        } else {
            return fail("unknown option " + a);
        }
    }
    if (realtimeGiven && fastGiven)
        return SimOptionsResult{std::nullopt, "--realtime and --fast exclude each other", false};
    if (o.imagePath.empty())
        return SimOptionsResult{std::nullopt, "--image is required", false};
    if (o.linkPath.empty())
        return SimOptionsResult{std::nullopt, "--link is required", false};
    result.options = o;
    return result;
}

} // namespace tevra::sim
