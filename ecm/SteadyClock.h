#pragma once

#include "Clock.h"

namespace tevra {

// The wall clock: std::chrono::steady_clock and real sleeps.
class SteadyClock final : public Clock {
public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
};

} // namespace tevra
