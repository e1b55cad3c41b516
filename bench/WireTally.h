#pragma once

#include "Channel.h"
#include "FlashOperation.h"
#include "FlashProtocol.h"

#include <algorithm>
#include <cstdint>

namespace tevra::bench {

// Passes everything through to the real channel and follows the command
// frames the editor sends, so that the least time the flash protocol could
// take is computed from its bytes and prescribed pauses rather than measured.
class WireTally final : public Channel {
public:
    explicit WireTally(Channel& line) : line_(line) {}

    void setBaudRate(int baud) override { line_.setBaudRate(baud); }
    int baudRate() const override { return line_.baudRate(); }
    bool Open() override { return line_.Open(); }
    bool Close() override { return line_.Close(); }

    void Send(const std::uint8_t* bytes, std::size_t length) override {
        line_.Send(bytes, length);
        if (line_.baudRate() == FlashOperation::kBootloadBaud) {
            bootloadBytes_ += static_cast<long long>(length);
            return;
        }
        for (std::size_t i = 0; i < length; ++i)
            follow(bytes[i]);
    }
    int RxCount() const override { return line_.RxCount(); }
    std::uint8_t RxPop() override { return line_.RxPop(); }
    void RxFlush() override { line_.RxFlush(); }
    bool waitForRx(int timeoutMs) override { return line_.waitForRx(timeoutMs); }

    // Seconds, at flash speed `speed`. Only what cannot overlap is added up:
    // - the bootload's bytes at 1200 baud, then the pause before reopening;
    // - per frame, the 5 ms pauses before its four bytes (each byte's own
    //   wire time, and the acknowledgement sent after the first, fit inside
    //   the pause that follows it);
    // - a read: its fourth byte and its data on the wire back to back, or the
    //   5 ms pause after the frame if that is longer; then the pause after
    //   each block (none after the loader probe);
    // - a write: the 5 ms pause after the frame, its data at the wire's pace
    //   or the per-byte pause if that is longer, then the 50 ms settle.
    double floorSeconds(int speed) const {
        const double bootloadMs = bootloadBytes_ * 10.0 * 1000.0 / FlashOperation::kBootloadBaud;
        const double writeByteMs =
            std::max(kCharacterMs, double(FlashProtocol::bytePauseMs(speed)));
        const double pausesMs =
            FlashOperation::kReopenPauseMs + frames_ * 4.0 * FlashProtocol::kFrameBytePauseMs +
            readBlocks_ * double(FlashProtocol::readPauseMs(speed)) +
            writeBlocks_ * double(FlashProtocol::kFrameBytePauseMs + FlashProtocol::kWriteSettleMs);
        return (bootloadMs + pausesMs + readTailsMs_ + writtenBytes_ * writeByteMs) / 1000.0;
    }

private:
    static constexpr double kCharacterMs = 10.0 * 1000.0 / FlashOperation::kCommandBaud;

    // Tracks the outgoing stream: four frame bytes, then a write's data.
    void follow(std::uint8_t b) {
        if (dataLeft_ > 0) {
            --dataLeft_;
            return;
        }
        frame_[filled_++] = b;
        if (filled_ < 4)
            return;
        filled_ = 0;
        ++frames_;
        const int count = frame_[1];
        const int address = frame_[2] << 8 | frame_[3];
        if (frame_[0] == FlashProtocol::kWriteCommand) {
            ++writeBlocks_;
            writtenBytes_ += count;
            dataLeft_ = count;
        } else if (frame_[0] == FlashProtocol::kReadCommand) {
            readTailsMs_ +=
                std::max(double(FlashProtocol::kFrameBytePauseMs), (1 + count) * kCharacterMs);
            if (!(address == 0 && count == 1))
                ++readBlocks_; // the loader probe has no pause after it
        }
    }

    Channel& line_;
    long long bootloadBytes_ = 0;
    long long frames_ = 0;
    long long readBlocks_ = 0;
    long long writeBlocks_ = 0;
    long long writtenBytes_ = 0;
    double readTailsMs_ = 0;
    std::uint8_t frame_[4] = {};
    int filled_ = 0;
    int dataLeft_ = 0;
};

} // namespace tevra::bench
