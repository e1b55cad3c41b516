#pragma once

#include "Channel.h"
#include "FakeClock.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace tevra::test {

// An in-process controller behind a Channel: it takes the bootload at 1200
// baud and then serves the loader's read and page-write commands at 9600,
// answering instantly into the receive FIFO. Faults are scripted per test.
class ScriptedEcm final : public Channel {
public:
    struct Command {
        std::uint8_t code;
        int count;
        int address;
    };

    explicit ScriptedEcm(FakeClock& clock) : clock_(clock) { memory.fill(0xFF); }

    // ---- Channel ----
    void setBaudRate(int baud) override { baud_ = baud; }
    int baudRate() const override { return baud_; }
    bool Open() override;
    bool Close() override {
        open_ = false;
        return true;
    }
    void Send(const std::uint8_t* bytes, std::size_t length) override;
    int RxCount() const override { return static_cast<int>(rx_.size()); }
    std::uint8_t RxPop() override;
    void RxFlush() override { rx_.clear(); }
    bool waitForRx(int timeoutMs) override;

    // ---- what happened ----
    std::vector<Command> commands;        // every frame, in order
    std::vector<std::size_t> sendLengths; // the length of every Send after the bootload
    int opens = 0;
    bool loaded = false;

    // ---- the controller ----
    std::array<std::uint8_t, 0x10000> memory{};

    // ---- faults ----
    bool failOpen = false;
    bool echo = false;  // the line returns every byte sent, nothing else answers
    bool deaf = false;  // no answer at all (no loader running)
    bool noSdp = false; // page writes store nothing
    // Called for each read frame; returning n < count sends only n data bytes.
    std::function<int(const Command&)> readLimit;
    // Replaces a byte a read sends (address, byte) -> byte.
    std::function<std::uint8_t(int, std::uint8_t)> readFilter;

    std::vector<Command> commandsWith(std::uint8_t code) const;

private:
    void receive(std::uint8_t b);
    void execute();

    FakeClock& clock_;
    int baud_ = 9600;
    bool open_ = false;
    std::deque<std::uint8_t> rx_;
    std::vector<std::uint8_t> bootBytes_;
    std::vector<std::uint8_t> frame_;
    int writeLeft_ = 0;
    int writeAddress_ = 0;
};

} // namespace tevra::test
