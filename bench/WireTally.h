#pragma once

#include "Channel.h"
#include "FlashOperation.h"
#include "FlashProtocol.h"

#include <cstdint>

namespace tevra::bench {

// Passes everything through to the real channel and counts what crosses the
// line: the bootload bytes, the command-rate bytes both ways and the command
// frames, so that the least time the protocol could take is computed from
// the wire and its prescribed pauses rather than measured.
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
        sent_ += static_cast<long long>(length);
        for (std::size_t i = 0; i < length; ++i)
            follow(bytes[i]);
    }
    int RxCount() const override { return line_.RxCount(); }
    std::uint8_t RxPop() override {
        if (line_.RxCount() > 0)
            ++received_;
        return line_.RxPop();
    }
    void RxFlush() override {
        received_ += line_.RxCount(); // they crossed the wire all the same
        line_.RxFlush();
    }
    bool waitForRx(int timeoutMs) override { return line_.waitForRx(timeoutMs); }

    // Seconds: every byte at its baud rate (10 bits a byte, 8N1) plus the
    // pauses the protocol prescribes at `speed`.
    double floorSeconds(int speed) const {
        const double bootload = bootloadBytes_ * 10.0 / FlashOperation::kBootloadBaud;
        const double wire = (sent_ + received_) * 10.0 / FlashOperation::kCommandBaud;
        const double pausesMs = FlashOperation::kReopenPauseMs +
                                frames_ * 5.0 * FlashProtocol::kFrameBytePauseMs +
                                readBlocks_ * FlashProtocol::readPauseMs(speed) +
                                writeBlocks_ * double(FlashProtocol::kWriteSettleMs) +
                                writtenBytes_ * double(FlashProtocol::bytePauseMs(speed));
        return bootload + wire + pausesMs / 1000.0;
    }

private:
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
        } else if (frame_[0] == FlashProtocol::kReadCommand && !(address == 0 && count == 1)) {
            ++readBlocks_; // the loader probe has no pause after it
        }
    }

    Channel& line_;
    long long bootloadBytes_ = 0;
    long long sent_ = 0;
    long long received_ = 0;
    long long frames_ = 0;
    long long readBlocks_ = 0;
    long long writeBlocks_ = 0;
    long long writtenBytes_ = 0;
    std::uint8_t frame_[4] = {};
    int filled_ = 0;
    int dataLeft_ = 0;
};

} // namespace tevra::bench
