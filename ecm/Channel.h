#pragma once

#include <cstddef>
#include <cstdint>

namespace tevra {

// The byte link the flash protocol talks through: the real serial port or a
// scripted controller in tests. Sends block until the bytes are handed to the
// line; received bytes collect in a FIFO that the protocol polls and waits on.
class Channel {
public:
    virtual ~Channel() = default;

    virtual void setBaudRate(int baud) = 0;
    virtual int baudRate() const = 0;
    // Opens the line at the current baud rate; a fresh open starts with an empty FIFO.
    virtual bool Open() = 0;
    virtual bool Close() = 0;

    virtual void Send(const std::uint8_t* bytes, std::size_t length) = 0;
    void SendByte(int value) {
        const auto b = static_cast<std::uint8_t>(value & 0xFF);
        Send(&b, 1);
    }

    virtual int RxCount() const = 0;
    // The oldest received byte; 0 when none waits.
    virtual std::uint8_t RxPop() = 0;
    virtual void RxFlush() = 0;
    // Blocks until a byte waits or timeoutMs has passed; true when a byte waits.
    // Never spins: the real port sleeps on a condition variable.
    virtual bool waitForRx(int timeoutMs) = 0;
};

} // namespace tevra
