#pragma once

#include "PtyLink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tevra::sim {

// Reads the editor's bytes off the pseudo-terminal on a thread of its own
// and stamps each block with the wall time and the port's baud rate at its
// arrival. The emulator may be busy or starved of CPU for a while; the
// stamps still tell it how the editor spaced its writes, which decides
// whether a command arrives before or after a page has been programmed.
class PtyReader {
public:
    struct Block {
        std::vector<std::uint8_t> bytes;
        std::chrono::steady_clock::time_point arrived;
        int baud = 0;
    };

    explicit PtyReader(PtyLink& link) : link_(link) {}
    ~PtyReader() { stop(); }
    PtyReader(const PtyReader&) = delete;
    PtyReader& operator=(const PtyReader&) = delete;

    void start();
    // Ends the thread; afterwards the link may be closed.
    void stop();

    // Takes every block that has arrived, waiting up to `timeout` for one.
    std::deque<Block> take(std::chrono::microseconds timeout);

private:
    void loop();

    PtyLink& link_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Block> blocks_;
};

} // namespace tevra::sim
