#include "SerialCom.h"

#include <algorithm>

namespace tevra {

namespace {
// The reader drains the driver in chunks of this size, as the line delivers.
constexpr std::size_t kReadChunk = 500;
} // namespace

SerialCom::SerialCom() = default;

SerialCom::~SerialCom() {
    if (connected_.load()) {
        Close();
    }
}

int SerialCom::writeLimitPerByteMs(int baud) {
    return baud > 0 ? std::max(1, 38400 / baud) : 1;
}

bool SerialCom::Open() {
    if (connected_.load()) {
        Close();
    }
    RxFlush();
    if (!device_.open(devicePath_, baudRate_)) {
        return false;
    }
    connected_.store(true);
    try {
        reader_ = std::thread([this] { readerLoop(); });
    } catch (...) {
        connected_.store(false);
        device_.close();
        return false;
    }
    return true;
}

bool SerialCom::Close() {
    connected_.store(false);
    device_.wake();
    if (reader_.joinable()) {
        reader_.join();
    }
    device_.close();
    return true;
}

void SerialCom::Send(const std::uint8_t* bytes, std::size_t length) {
    if (!connected_.load() || length == 0) {
        return;
    }
    const auto limit = static_cast<long long>(length) * writeLimitPerByteMs(baudRate_);
    device_.write(bytes, length, static_cast<int>(std::min<long long>(limit, 1'000'000)));
}

void SerialCom::readerLoop() {
    std::uint8_t buffer[kReadChunk];
    while (connected_.load()) {
        const std::size_t got = device_.waitAndRead(buffer, sizeof buffer);
        fifo_.push(buffer, got);
    }
}

} // namespace tevra
