// Any S-record text reads without harm, and the image written back reads the same.
#include "SRecord.h"

#include <cstdlib>
#include <string_view>

using namespace tevra;

namespace {
// Writes bytes [from, from + n) of the image as S-records and reads them back.
void roundTrip(const SRecord::Image& img, std::size_t from, std::size_t n) {
    const std::vector<std::uint8_t> part(img.bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                         img.bytes.begin() + static_cast<std::ptrdiff_t>(from + n));
    const auto base = img.baseAddress + static_cast<std::int32_t>(from);
    const SRecord::Image back = SRecord::read(SRecord::write(part, base));
    if (back.baseAddress != base || back.bytes != part)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SRecord::Image img = SRecord::read(text);
    if (!img.hasRecords)
        return 0;
    if (img.baseAddress < 0 || img.baseAddress + img.bytes.size() > 0x10000)
        std::abort();
    if (img.bytes.empty())
        return 0;
    // Records far apart give an image of up to 64 KB, mostly 0xFF. Writing all of it back
    // on every input would dwarf the reading under test, so a large image is written
    // back at its two ends: its first and last records, and the addresses near FFFF.
    static constexpr std::size_t window = 2048;
    if (img.bytes.size() <= 2 * window) {
        roundTrip(img, 0, img.bytes.size());
    } else {
        roundTrip(img, 0, window);
        roundTrip(img, img.bytes.size() - window, window);
    }
    return 0;
}
