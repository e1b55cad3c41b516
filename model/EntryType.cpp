#include "EntryType.h"

namespace tevra {

const char* entryTypeText(EntryType type) {
    static const char* const texts[kEntryTypeCount] = {
        "Unsigned 8-Bit",  "Unsigned 16-Bit", "Signed 8-Bit", "Constant 8-Bit", "Constant 16-Bit",
        "8-Bit Flag Byte", "Value List",      "3D Table",     "Unknown Type",
    };
    const auto v = static_cast<std::int32_t>(type);
    return (v >= 0 && v < kEntryTypeCount) ? texts[v] : nullptr;
}

} // namespace tevra
