#pragma once

#include "Channel.h"
#include "ReceiveFifo.h"
#include "SerialDevice.h"

#include <atomic>
#include <string>
#include <thread>

namespace tevra {

// The serial port to the controller. While open, a reader thread moves every
// received byte into the receive FIFO; the protocol counts, pops, flushes and
// waits on that FIFO from its own thread. Opened and closed more than once per
// flash operation (1200 baud for the bootload, 9600 for the commands).
class SerialCom final : public Channel {
public:
    SerialCom();
    ~SerialCom() override;
    SerialCom(const SerialCom&) = delete;
    SerialCom& operator=(const SerialCom&) = delete;

    // The device the port opens ("/dev/ttyUSB0", a pseudo-terminal, ...).
    void setDevicePath(std::string path) { devicePath_ = std::move(path); }
    const std::string& devicePath() const { return devicePath_; }

    void setBaudRate(int baud) override { baudRate_ = baud; }
    int baudRate() const override { return baudRate_; }
    bool Open() override;
    // Stops the reader thread (waking it from its wait) and closes the device.
    // The FIFO keeps what arrived; the next Open flushes it.
    bool Close() override;
    bool isOpen() const { return connected_.load(); }

    // Blocks until the bytes are written or the write time limit of
    // 38400 / baud ms per byte has run out; reports nothing.
    void Send(const std::uint8_t* bytes, std::size_t length) override;
    int RxCount() const override { return fifo_.count(); }
    std::uint8_t RxPop() override { return fifo_.pop(); }
    void RxFlush() override { fifo_.flush(); }
    bool waitForRx(int timeoutMs) override { return fifo_.waitNonEmpty(timeoutMs); }

    // Milliseconds per byte that a write may take before it is abandoned.
    static int writeLimitPerByteMs(int baud);

private:
    void readerLoop();

    std::string devicePath_;
    int baudRate_ = 9600;
    SerialDevice device_;
    ReceiveFifo fifo_;
    std::atomic<bool> connected_{false};
    std::thread reader_;
};

} // namespace tevra
