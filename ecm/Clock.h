#pragma once

#include <cstdint>

namespace tevra {

// Millisecond time source and pause of the flash protocol. Injected so that
// tests of the 5-second timeouts and of the pacing run in no time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

} // namespace tevra
