#include "SerialDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace tevra {

namespace {

speed_t speedFor(int baud) {
    switch (baud) {
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Unix98 pseudo-terminal slaves (/dev/pts/N) have these major numbers.
bool isPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    const unsigned m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

int characterTimeMs(int baud) {
    return baud > 0 ? (10'000 + baud - 1) / baud : 1;
}

void setDtr(int fd, bool on) {
    int bits = TIOCM_DTR;
    // A pseudo-terminal has no modem lines and refuses this; nothing depends on it.
    (void)::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

} // namespace

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

bool SerialDevice::isOpen() const {
    return fd_ >= 0;
}

bool SerialDevice::open(const std::string& path, int baud) {
    close();
    const speed_t speed = speedFor(baud);
    if (speed == B0 || path.empty()) {
        return false;
    }
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    // Not shared: a second opener gets EBUSY, like an exclusive COM port.
    (void)::ioctl(fd_, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        closeFd(fd_);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
        ::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        closeFd(fd_);
        return false;
    }

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        closeFd(fd_);
        return false;
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    for (int fd : pipeFds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    hungUp_ = false;
    baud_ = baud;
    pseudoTerminal_ = isPseudoTerminal(fd_);

    purge();
    setDtr(fd_, true);
    return true;
}

void SerialDevice::purge() {
    // What a pseudo-terminal "sends" already sits in the far end's input, and
    // purging it would destroy bytes the other side has not read yet (the
    // bootload, closed right after it was written). A real line has nothing
    // left to send here, since write() waits until its bytes are out.
    (void)::tcflush(fd_, pseudoTerminal_ ? TCIFLUSH : TCIOFLUSH);
}

void SerialDevice::close() {
    if (fd_ >= 0) {
        if (pseudoTerminal_) {
            // A pseudo-terminal takes every write at once, but the line behind
            // it (an emulated controller) still needs the wire time; closing
            // and reopening at another rate before then would garble the rest.
            const auto left = outputDoneAt_ - std::chrono::steady_clock::now();
            if (left > std::chrono::steady_clock::duration::zero()) {
                std::this_thread::sleep_for(
                    std::min<std::chrono::steady_clock::duration>(left, std::chrono::seconds(10)));
            }
        }
        setDtr(fd_, false);
        purge();
        // Exclusivity outlives this descriptor while another holds the device
        // (an emulator keeping its pty slave open); the next open must not be refused.
        (void)::ioctl(fd_, TIOCNXCL);
    }
    closeFd(fd_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

std::size_t SerialDevice::waitAndRead(std::uint8_t* buffer, std::size_t max) {
    if (fd_ < 0) {
        return 0;
    }
    pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd_, POLLIN, 0}};
    // After a hang-up the device stays readable (EOF/EIO) forever; watching it
    // then would turn this wait into a spin.
    const nfds_t count = hungUp_ ? 1 : 2;
    if (::poll(fds, count, -1) < 0) {
        return 0;
    }
    if (fds[0].revents != 0) {
        return 0; // woken: the caller re-checks whether it should go on
    }
    if (count < 2 || fds[1].revents == 0) {
        return 0;
    }
    const ssize_t got = ::read(fd_, buffer, max);
    if (got > 0) {
        return static_cast<std::size_t>(got);
    }
    if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        hungUp_ = true;
    }
    return 0;
}

void SerialDevice::wake() {
    if (wakeWrite_ >= 0) {
        const char b = 1;
        (void)!::write(wakeWrite_, &b, 1);
    }
}

void SerialDevice::write(const std::uint8_t* bytes, std::size_t n, int timeLimitMs) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(timeLimitMs);
    std::size_t done = 0;
    while (fd_ >= 0 && done < n) {
        const ssize_t put = ::write(fd_, bytes + done, n - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            return; // the line is gone; the protocol sees it as a missing answer
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) {
            return;
        }
        pollfd out{fd_, POLLOUT, 0};
        (void)::poll(&out, 1, static_cast<int>(left));
    }
    if (pseudoTerminal_) {
        const auto wire = microseconds(static_cast<long long>(done) * 10'000'000LL / baud_);
        outputDoneAt_ = std::max(outputDoneAt_, steady_clock::now()) + wire;
    }
    // A write completes when its bytes have left, as on the original platform;
    // a close right after it would otherwise purge what is still queued.
    for (;;) {
        int queued = 0;
        if (fd_ < 0 || ::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            break;
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) {
            return;
        }
        const long long wire = static_cast<long long>(queued) * characterTimeMs(baud_);
        std::this_thread::sleep_for(milliseconds(std::max(1LL, std::min<long long>(left, wire))));
    }
    // Only the UART's own FIFO can be left now: a few character times.
    (void)::tcdrain(fd_);
}

} // namespace tevra
