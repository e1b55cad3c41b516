#include "FlashProtocol.h"

#include "Prompter.h"
#include "loader/LoaderImage.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace tevra {

namespace {
// Longest single sleep on the channel, so that a stop request is seen promptly.
constexpr int kStopCheckMs = 100;
} // namespace

std::string formatText(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

FlashProtocol::FlashProtocol(Channel& channel, Clock& clock, Prompter& prompter,
                             FlashProgress& progress, const std::atomic<bool>* stop)
    : channel_(channel), clock_(clock), prompter_(prompter), progress_(progress), stop_(stop),
      signature_(kBootloaderImage[1]) {}

int FlashProtocol::bytePauseMs(int speed) {
    const int tenths = speed / 10;
    return tenths == 10 ? 0 : 20 - 2 * tenths;
}

void FlashProtocol::say(const std::string& text, const std::string& caption) {
    if (!stopped()) {
        prompter_.message(text, caption);
    }
}

void FlashProtocol::pause(int ms) {
    // Sliced so that a stop request does not wait out a long pause.
    while (ms > 0 && !stopped()) {
        const int step = std::min(ms, kStopCheckMs);
        clock_.sleepMs(step);
        ms -= step;
    }
}

bool FlashProtocol::waitForByte(int timeoutMs) {
    const std::int64_t deadline = clock_.nowMs() + timeoutMs;
    for (;;) {
        if (channel_.RxCount() > 0) {
            return true;
        }
        if (stopped()) {
            return false;
        }
        const std::int64_t left = deadline - clock_.nowMs();
        if (left <= 0) {
            return false;
        }
        channel_.waitForRx(static_cast<int>(std::min<std::int64_t>(left, kStopCheckMs)));
    }
}

void FlashProtocol::sendFrame(std::uint8_t command, int count, int address) {
    const std::uint8_t frame[4] = {command, static_cast<std::uint8_t>(count),
                                   static_cast<std::uint8_t>((address >> 8) & 0xFF),
                                   static_cast<std::uint8_t>(address & 0xFF)};
    for (std::uint8_t b : frame) {
        clock_.sleepMs(kFrameBytePauseMs);
        channel_.SendByte(b);
    }
    clock_.sleepMs(kFrameBytePauseMs);
}

bool FlashProtocol::ReadBlock(int address, int count, std::uint8_t* buffer) {
    return readBlock(address, count, buffer, true);
}

bool FlashProtocol::readBlock(int address, int count, std::uint8_t* buffer, bool mayRetry) {
    if (count > kMaxReadBlock || count < 0) {
        return false;
    }
    if (count == 0) {
        return true; // the loader would answer nothing to wait for
    }
    int attemptsLeft = kAttemptsPerRead;
    for (;;) {
        --attemptsLeft;
        int received = 0;
        channel_.RxFlush();
        sendFrame(kReadCommand, count, address);
        if (!waitForByte(kAnswerTimeoutMs)) {
            say("Timed out waiting for Ack", "Ack error");
            return false;
        }
        const std::uint8_t ack = channel_.RxPop();
        if (ack != static_cast<std::uint8_t>(~kReadCommand)) {
            say(formatText("Bad command ack, got %02X", ack), "Ack Error");
            return false;
        }
        while (waitForByte(kAnswerTimeoutMs)) {
            buffer[received++] = channel_.RxPop();
            if (received == count) {
                return true;
            }
        }
        if (stopped()) {
            return false;
        }
        // The data stalled. Retry only while the loader still answers; the
        // probe goes out after every stall, the last one included.
        if (mayRetry && ProbeLoader() && attemptsLeft > 0) {
            continue;
        }
        say(formatText("Timed out waiting for data at %X", address), "Timeout Error");
        return false;
    }
}

bool FlashProtocol::WriteBlock(int address, int count, const std::uint8_t* bytes) {
    if (count > kMaxWriteBlock || count < 0 || address % kMaxWriteBlock + count > kMaxWriteBlock) {
        return false; // the loader would refuse it
    }
    if (count == 0) {
        return true;
    }
    channel_.RxFlush();
    sendFrame(kWriteCommand, count, address);
    if (!waitForByte(kAnswerTimeoutMs)) {
        say("Timed out waiting for Ack!", "Write Error");
        return false;
    }
    if (channel_.RxPop() != static_cast<std::uint8_t>(~kWriteCommand)) {
        say("Bad command Ack!", "Write Error");
        return false;
    }
    const int bytePause = bytePauseMs(flashSpeed_);
    if (bytePause == 0) {
        channel_.Send(bytes, static_cast<std::size_t>(count));
    } else {
        for (int i = 0; i < count; ++i) {
            channel_.SendByte(bytes[i]);
            clock_.sleepMs(bytePause);
        }
    }
    // The loader answers nothing after the data; this gives it time to program.
    clock_.sleepMs(kWriteSettleMs);
    return true;
}

bool FlashProtocol::ProbeLoader() {
    std::uint8_t b = 0;
    return readBlock(0x0000, 1, &b, false) && b == signature_;
}

bool FlashProtocol::ReadImage(int start, int size, std::uint8_t* buffer) {
    progress_.setRange(size);
    for (int offset = 0; offset < size;) {
        if (stopped()) {
            return false;
        }
        progress_.setStatusText(formatText("Reading %04X...", start + offset));
        progress_.setPosition(offset);
        const int n = std::min(kMaxReadBlock, size - offset);
        if (!ReadBlock(start + offset, n, buffer + offset)) {
            say("Error while reading cal!", "Cal Read Error");
            return false;
        }
        pause(readPauseMs(flashSpeed_));
        offset += n;
    }
    progress_.setPosition(size);
    return true;
}

bool FlashProtocol::WriteImage(int start, int size, const std::uint8_t* bytes) {
    progress_.setRange(size);
    for (int offset = 0; offset < size;) {
        if (stopped()) {
            return false;
        }
        progress_.setStatusText(formatText("Writing %04X...", start + offset));
        progress_.setPosition(offset);
        // A block never crosses an EEPROM page: the part programs one page
        // per write cycle, so the first and last block may be short.
        const int toPageEnd = kMaxWriteBlock - (start + offset) % kMaxWriteBlock;
        const int n = std::min(toPageEnd, size - offset);
        if (!WriteBlock(start + offset, n, bytes + offset)) {
            say("Error while writing cal!", "Cal Write Error");
            return false;
        }
        offset += n;
    }
    progress_.setPosition(size);
    return true;
}

bool FlashProtocol::WriteChanged(int start, int size, const std::uint8_t* bytes,
                                 const std::uint8_t* previous) {
    progress_.setRange(size);
    for (int i = 0; i < size; ++i) {
        if (stopped()) {
            return false;
        }
        progress_.setPosition(i);
        if (bytes[i] == previous[i]) {
            continue;
        }
        progress_.setStatusText(formatText("Writing %04X...", start + i));
        if (!WriteBlock(start + i, 1, bytes + i)) {
            say("Error while writing cal!", "Cal Write Error");
            return false;
        }
    }
    progress_.setPosition(size);
    return true;
}

} // namespace tevra
