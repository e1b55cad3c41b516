#include "ReceiveFifo.h"

#include <chrono>

namespace tevra {

void ReceiveFifo::push(const std::uint8_t* bytes, std::size_t n) {
    if (n == 0) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        bytes_.insert(bytes_.end(), bytes, bytes + n);
    }
    arrived_.notify_all();
}

int ReceiveFifo::count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(bytes_.size());
}

std::uint8_t ReceiveFifo::pop() {
    std::lock_guard lock(mutex_);
    if (bytes_.empty()) {
        return 0;
    }
    const std::uint8_t b = bytes_.front();
    bytes_.pop_front();
    return b;
}

void ReceiveFifo::flush() {
    std::lock_guard lock(mutex_);
    bytes_.clear();
}

bool ReceiveFifo::waitNonEmpty(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
                             [this] { return !bytes_.empty(); });
}

} // namespace tevra
