#include "EntryExtent.h"

#include "CalEntry.h"
#include "Calibration.h"

#include <algorithm>

namespace tevra {

EntryExtent EntryExtent::of(const CalEntry& e) {
    EntryExtent x;
    x.offset = std::int64_t{e.address} - e.owner()->baseAddress;
    const std::int64_t imageLength = e.owner()->hasImage() ? e.owner()->imageLength() : 0;
    switch (e.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        x.length = 1 + 4 * std::int64_t{e.byteAt(0)};
        break;
    case EntryType::Unsigned16Table: {
        // Records of 5 bytes until an X byte of 0xFF inside the image.
        std::int64_t k = 0;
        while (e.bytesInImage(5 * k, 1) && e.byteAt(5 * k) != 0xFF)
            ++k;
        if (e.bytesInImage(5 * k, 1)) {
            x.length = 5 * k + 1;
        } else {
            x.unterminated = x.offset >= 0 && x.offset < imageLength;
            x.length = std::max<std::int64_t>(1, std::min(5 * k + 1, imageLength - x.offset));
        }
        break;
    }
    case EntryType::Constant16:
        x.length = 2;
        break;
    case EntryType::Table3D:
        x.length = 3 + std::int64_t{e.byteAt(0)} * e.byteAt(1);
        break;
    default:
        x.length = 1;
        break;
    }
    x.complete = !x.unterminated && x.offset >= 0 && x.end() <= imageLength && e.hasData();
    return x;
}

} // namespace tevra
