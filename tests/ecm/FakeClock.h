#pragma once

#include "Clock.h"

#include <vector>

namespace tevra::test {

// Time that moves only when the code under test sleeps or waits, so that the
// protocol's 5-second timeouts cost nothing. Every sleep is recorded.
class FakeClock final : public Clock {
public:
    std::int64_t nowMs() override { return now; }
    void sleepMs(int ms) override {
        sleeps.push_back(ms);
        now += ms;
    }
    void advance(int ms) { now += ms; }

    std::int64_t now = 1'000'000;
    std::vector<int> sleeps;
};

} // namespace tevra::test
