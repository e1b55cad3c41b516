#include "PtyLink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace tevra::sim {

namespace {

int baudFromSpeed(speed_t s) {
    switch (s) {
    case B50:
        return 50;
    case B75:
        return 75;
    case B110:
        return 110;
    case B134:
        return 134;
    case B150:
        return 150;
    case B200:
        return 200;
    case B300:
        return 300;
    case B600:
        return 600;
    case B1200:
        return 1200;
    case B1800:
        return 1800;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    default:
        return 0;
    }
}

std::string errorText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

PtyLink::~PtyLink() {
    hangUp();
    if (!linkPath_.empty())
        ::unlink(linkPath_.c_str());
}

std::string PtyLink::open(const std::string& linkPath) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0)
        return errorText("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return errorText("grantpt/unlockpt");
    const char* name = ::ptsname(master_);
    if (!name)
        return errorText("ptsname");
    slavePath_ = name;

    // Start the slave raw at 1200 baud, the bootstrap rate, so that an
    // editor that only changes the speed gets 8N1 without translation.
    termios tio{};
    if (::tcgetattr(master_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B1200);
        ::cfsetospeed(&tio, B1200);
        ::tcsetattr(master_, TCSANOW, &tio);
    }

    // Replace an old link of ours, but never a real file.
    struct stat st {};
    if (::lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode))
            return linkPath + " exists and is not a symbolic link";
        ::unlink(linkPath.c_str());
    }
    if (::symlink(slavePath_.c_str(), linkPath.c_str()) != 0)
        return errorText("symlink " + linkPath);
    linkPath_ = linkPath;
    return {};
}

void PtyLink::hangUp() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

PtyLink::Wait PtyLink::wait(int timeoutMs) {
    if (master_ < 0) {
        ::usleep(static_cast<useconds_t>(timeoutMs) * 1000);
        return Wait::Timeout;
    }
    pollfd p{master_, POLLIN, 0};
    const int n = ::poll(&p, 1, timeoutMs);
    if (n < 0)
        return errno == EINTR ? Wait::Interrupted : Wait::Timeout;
    if (n == 0)
        return Wait::Timeout;
    if (p.revents & POLLIN)
        return Wait::Readable;
    // POLLHUP while nobody has the slave open: poll would return at once
    // forever, so sleep instead and look again.
    ::usleep(static_cast<useconds_t>(timeoutMs > 0 ? timeoutMs : 1) * 1000);
    return Wait::Timeout;
}

std::size_t PtyLink::read(std::uint8_t* buffer, std::size_t max) {
    if (master_ < 0)
        return 0;
    const ssize_t n = ::read(master_, buffer, max);
    // EIO means no slave is open; EAGAIN that nothing waits. Both are "nothing".
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void PtyLink::write(const std::uint8_t* bytes, std::size_t n) {
    if (master_ < 0)
        return;
    while (n > 0) {
        const ssize_t w = ::write(master_, bytes, n);
        if (w <= 0) {
            if (w < 0 && errno == EINTR)
                continue;
            return;
        }
        bytes += w;
        n -= static_cast<std::size_t>(w);
    }
}

bool PtyLink::slaveOpen() {
    if (master_ < 0)
        return false;
    pollfd p{master_, 0, 0};
    if (::poll(&p, 1, 0) < 0)
        return true;
    return (p.revents & POLLHUP) == 0;
}

int PtyLink::slaveBaud() const {
    termios tio{};
    if (master_ < 0 || ::tcgetattr(master_, &tio) != 0)
        return 0;
    return baudFromSpeed(::cfgetospeed(&tio));
}

} // namespace tevra::sim
