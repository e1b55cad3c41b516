#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tevra {

// The operating-system side of the serial port: one device opened raw at
// 8 data bits, no parity, one stop bit, no flow control. Everything that
// differs between platforms lives behind this class (SerialDevicePosix.cpp,
// SerialDeviceWin32.cpp); SerialCom above it is portable.
class SerialDevice {
public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens `path` exclusively, sets the line, purges both directions and raises
    // DTR. Only the open itself, the line settings and the wake-up channel can
    // make it fail; a DTR or purge refusal (as on a pseudo-terminal) is harmless.
    bool open(const std::string& path, int baud);
    // Drops DTR, purges both directions and closes. Harmless when closed.
    void close();
    bool isOpen() const;

    // Blocks until bytes arrive or wake() is called, then reads at most `max`
    // bytes without blocking. Returns the count read (0 after a wake-up). Once
    // the far end has hung up it only waits for the wake-up.
    std::size_t waitAndRead(std::uint8_t* buffer, std::size_t max);
    // Ends a pending or the next waitAndRead at once.
    void wake();

    // Writes all bytes and waits until they have left, unless that takes more
    // than timeLimitMs; the rest is then dropped, as a driver write timeout would.
    void write(const std::uint8_t* bytes, std::size_t n, int timeLimitMs);

private:
    void purge();

#ifdef _WIN32
    // Win32 HANDLEs, kept as void* so that this header needs no <windows.h>.
    void* handle_ = nullptr; // the device; null while closed
    void* wakeEvent_ = nullptr;
    void* commEvent_ = nullptr;
    void* readEvent_ = nullptr;
    void* writeEvent_ = nullptr;
    int baud_ = 9600;
    bool hungUp_ = false;
#else
    int fd_ = -1;
    int baud_ = 9600;
    bool pseudoTerminal_ = false;
    // When the bytes written to a pseudo-terminal would have left a real line.
    std::chrono::steady_clock::time_point outputDoneAt_{};
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    bool hungUp_ = false;
#endif
};

} // namespace tevra
