#include "SerialCom.h"

#include "Calibration.h"
#include "FlashOperation.h"
#include "RecordingPrompter.h"
#include "SteadyClock.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace tevra::test {
namespace {

// The far end of a pseudo-terminal: what a controller (or the emulator) sees.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            path_ = ::ptsname(master_);
            termios tio{};
            ::tcgetattr(master_, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(master_, TCSANOW, &tio);
        }
    }
    ~PtyPair() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    const std::string& path() const { return path_; }
    void write(const std::string& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string read(std::size_t n, std::chrono::seconds timeout = std::chrono::seconds(5)) const {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (got.size() < n && std::chrono::steady_clock::now() < deadline) {
            char buffer[64];
            fd_set set;
            FD_ZERO(&set);
            FD_SET(master_, &set);
            timeval tv{0, 100000};
            if (::select(master_ + 1, &set, nullptr, nullptr, &tv) > 0) {
                const ssize_t r = ::read(master_, buffer, sizeof buffer);
                if (r > 0) {
                    got.append(buffer, static_cast<std::size_t>(r));
                }
            }
        }
        return got;
    }

private:
    int master_ = -1;
    std::string path_;
};

std::string drain(SerialCom& com, std::size_t n) {
    std::string got;
    while (got.size() < n && com.waitForRx(5000)) {
        while (com.RxCount() > 0) {
            got.push_back(static_cast<char>(com.RxPop()));
        }
    }
    return got;
}

TEST(SerialCom, MovesBytesBothWaysOnAPseudoTerminal) {
    PtyPair pty;
    ASSERT_FALSE(pty.path().empty());
    SerialCom com;
    com.setDevicePath(pty.path());
    com.setBaudRate(9600);
    ASSERT_TRUE(com.Open()); // DTR cannot be raised on a pty; that is no failure

    pty.write("\x01\xFE hello");
    EXPECT_EQ(drain(com, 8), std::string("\x01\xFE hello"));
    EXPECT_EQ(com.RxCount(), 0);
    EXPECT_EQ(com.RxPop(), 0); // empty: 0 and nothing changes
    EXPECT_EQ(com.RxCount(), 0);

    const std::uint8_t frame[] = {0x01, 0x10, 0xC0, 0x00};
    com.Send(frame, sizeof frame);
    com.SendByte(0x1AA); // only the low 8 bits go out
    EXPECT_EQ(pty.read(5), std::string("\x01\x10\xC0\x00\xAA", 5));
    EXPECT_TRUE(com.Close());
}

TEST(SerialCom, ReopenStartsEmptyAtTheNewRate) {
    PtyPair pty;
    SerialCom com;
    com.setDevicePath(pty.path());
    com.setBaudRate(1200);
    ASSERT_TRUE(com.Open());
    pty.write("stale");
    EXPECT_EQ(drain(com, 5), "stale");
    pty.write("old");
    ASSERT_TRUE(com.waitForRx(5000));
    com.Close();

    com.setBaudRate(9600);
    ASSERT_TRUE(com.Open());
    EXPECT_EQ(com.RxCount(), 0); // what arrived before the open is gone
    termios tio{};
    const int fd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
    pty.write("new");
    EXPECT_EQ(drain(com, 3), "new");
}

TEST(SerialCom, CloseWakesTheIdleReaderAtOnce) {
    PtyPair pty;
    SerialCom com;
    com.setDevicePath(pty.path());
    ASSERT_TRUE(com.Open());
    EXPECT_FALSE(com.waitForRx(50)); // the reader now sleeps in its wait
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(com.Close());
    EXPECT_FALSE(com.isOpen());
    // Generous bound: only a reader that never wakes would miss it.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(SerialCom, OpenFailsWithoutADevice) {
    SerialCom com;
    com.setDevicePath("/nonexistent/ttyUSB9");
    EXPECT_FALSE(com.Open());
    EXPECT_TRUE(com.Close()); // harmless on a port that never opened
    com.setDevicePath("");
    EXPECT_FALSE(com.Open());
}

TEST(SerialCom, WriteLimitFollowsTheBaudRate) {
    EXPECT_EQ(SerialCom::writeLimitPerByteMs(1200), 32);
    EXPECT_EQ(SerialCom::writeLimitPerByteMs(9600), 4);
}

// The operation on a worker thread, the stop flag set from another: it ends in
// the middle of its 5-second wait for an answer that never comes, silently.
TEST(SerialCom, FlashOperationOnAWorkerStopsMidWait) {
    PtyPair pty; // nobody answers on the far end
    SerialCom com;
    com.setDevicePath(pty.path());
    SteadyClock clock;
    RecordingPrompter prompter;
    RecordingProgress progress;
    Calibration cal;
    LastFlashCopy last = std::vector<std::uint8_t>(4);
    std::atomic<bool> stop{false};
    FlashResult result;
    FlashSettings settings;
    settings.operation = FlashOperationKind::Read;

    std::thread worker([&] {
        FlashOperation flash(com, clock, prompter, progress, &stop);
        result = flash.run(settings, cal, last);
    });
    // The bootload (2.1 s on the wire), then the probe's frame: the operation
    // now waits for an answer.
    const std::string sent = pty.read(257 + 4, std::chrono::seconds(60));
    EXPECT_EQ(sent.substr(sent.size() < 4 ? 0 : sent.size() - 4),
              std::string("\x01\x01\x00\x00", 4));
    stop = true;
    worker.join();

    EXPECT_EQ(result.outcome, FlashOutcome::Stopped);
    // A probe left to time out would have said "Timed out waiting for Ack".
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(last.has_value()); // stopped before anything was read or written
    EXPECT_FALSE(com.isOpen());
}

} // namespace
} // namespace tevra::test
