#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

namespace tevra {

// The unbounded queue between the serial reader thread (the only producer)
// and the flash protocol (the only consumer). One lock guards it; waiting for
// data sleeps on a condition variable instead of polling.
class ReceiveFifo {
public:
    void push(const std::uint8_t* bytes, std::size_t n);
    int count() const;
    // The oldest byte, or 0 when empty.
    std::uint8_t pop();
    void flush();
    // True as soon as a byte waits; false when timeoutMs passed without one.
    bool waitNonEmpty(int timeoutMs);

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::uint8_t> bytes_;
};

} // namespace tevra
