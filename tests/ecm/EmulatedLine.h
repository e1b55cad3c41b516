#pragma once

#include "Channel.h"
#include "Clock.h"
#include "EcmSim.h"

#include <deque>

namespace tevra::test {

// The emulated controller behind the Channel and Clock interfaces, in one
// emulated time line: sleeping, waiting and sending all run the emulated CPU,
// so a whole flash operation runs deterministically and without a pty.
class EmulatedLine final : public Channel, public Clock {
public:
    explicit EmulatedLine(sim::EcmSim& sim) : sim_(sim) {}

    // ---- Clock ----
    std::int64_t nowMs() override {
        return static_cast<std::int64_t>(sim_.cycles() / kCyclesPerMs);
    }
    void sleepMs(int ms) override { runFor(static_cast<std::uint64_t>(ms) * kCyclesPerMs); }

    // ---- Channel ----
    void setBaudRate(int baud) override { baud_ = baud; }
    int baudRate() const override { return baud_; }
    bool Open() override {
        sim_.setHostBaud(baud_);
        collect();
        rx_.clear();
        open_ = true;
        return true;
    }
    bool Close() override {
        open_ = false;
        return true;
    }
    void Send(const std::uint8_t* bytes, std::size_t length) override {
        if (!open_) {
            return;
        }
        for (std::size_t i = 0; i < length; ++i) {
            sim_.feedByte(bytes[i], baud_);
        }
        // A send returns once its characters have left, 10 bits each.
        runFor(length * 10 * 2'000'000 / static_cast<std::uint64_t>(baud_));
    }
    int RxCount() const override { return static_cast<int>(rx_.size()); }
    std::uint8_t RxPop() override {
        if (rx_.empty()) {
            return 0;
        }
        const std::uint8_t b = rx_.front();
        rx_.pop_front();
        return b;
    }
    void RxFlush() override { rx_.clear(); }
    bool waitForRx(int timeoutMs) override {
        const std::uint64_t end =
            sim_.cycles() + static_cast<std::uint64_t>(timeoutMs) * kCyclesPerMs;
        while (rx_.empty() && sim_.cycles() < end) {
            runFor(kSliceCycles);
        }
        return !rx_.empty();
    }

private:
    static constexpr std::uint64_t kCyclesPerMs = 2000;
    static constexpr std::uint64_t kSliceCycles = 200; // 100 us

    void runFor(std::uint64_t cycles) {
        sim_.run(cycles);
        collect();
    }
    void collect() {
        for (std::uint8_t b : sim_.takeOutput()) {
            if (open_) {
                rx_.push_back(b);
            }
        }
    }

    sim::EcmSim& sim_;
    int baud_ = 9600;
    bool open_ = false;
    std::deque<std::uint8_t> rx_;
};

} // namespace tevra::test
