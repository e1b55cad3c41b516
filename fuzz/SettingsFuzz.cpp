// Any Config.cfg reads without harm, into a flash speed the protocol can use,
// and what is written back reads the same.
#include "Settings.h"

#include <cstdlib>

using namespace tevra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Settings s = Settings::parse(text);
    if (s.flashSpeed < 0 || s.flashSpeed > 100)
        std::abort();
    const Settings back = Settings::parse(s.format());
    if (back.reloadLast != s.reloadLast || back.hideMouse != s.hideMouse ||
        back.flashSpeed != s.flashSpeed)
        std::abort();
    return 0;
}
