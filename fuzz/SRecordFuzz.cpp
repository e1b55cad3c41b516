// Any S-record text reads without harm, and the image written back reads the same.
#include "SRecord.h"

#include <cstdlib>
#include <string_view>

using namespace tevra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SRecord::Image img = SRecord::read(text);
    if (!img.hasRecords)
        return 0;
    if (img.baseAddress < 0 || img.baseAddress + img.bytes.size() > 0x10000)
        std::abort();
    const SRecord::Image back = SRecord::read(SRecord::write(img.bytes, img.baseAddress));
    if (!img.bytes.empty() && (back.baseAddress != img.baseAddress || back.bytes != img.bytes))
        std::abort();
    return 0;
}
