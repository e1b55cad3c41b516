#include "PtyReader.h"

namespace tevra::sim {

void PtyReader::start() {
    stop_.store(false);
    thread_ = std::thread([this] { loop(); });
}

void PtyReader::stop() {
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
}

void PtyReader::loop() {
    std::vector<std::uint8_t> buffer(4096);
    while (!stop_.load()) {
        // The wait is bounded so that stop() is noticed promptly.
        if (link_.wait(20) != PtyLink::Wait::Readable)
            continue;
        const std::size_t n = link_.read(buffer.data(), buffer.size());
        if (n == 0)
            continue;
        Block block{{buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n)},
                    std::chrono::steady_clock::now(),
                    link_.slaveBaud()};
        {
            const std::lock_guard lock(mutex_);
            blocks_.push_back(std::move(block));
        }
        arrived_.notify_one();
    }
}

std::deque<PtyReader::Block> PtyReader::take(std::chrono::microseconds timeout) {
    std::unique_lock lock(mutex_);
    if (blocks_.empty() && timeout.count() > 0)
        arrived_.wait_for(lock, timeout, [this] { return !blocks_.empty(); });
    std::deque<Block> out;
    out.swap(blocks_);
    return out;
}

} // namespace tevra::sim
