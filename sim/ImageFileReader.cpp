#include "ImageFileReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevra::sim {

namespace {
std::string failure(const std::string& path, int error) {
    return "cannot read " + path + ": " + std::strerror(error);
}
} // namespace

std::string ImageFileReader::read(const std::string& path, std::size_t limit,
                                  std::vector<std::uint8_t>& bytes) {
    const std::string tooLarge = path + ": an image holds 1 to " + std::to_string(limit) + " bytes";
    // Look before opening: opening a FIFO waits for a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return failure(path, errno);
    if (!S_ISREG(st.st_mode))
        return path + " is not a regular file";
    if (static_cast<std::uintmax_t>(st.st_size) > limit)
        return tooLarge;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(path, errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return path + " is not a regular file";
    }
    // One byte more than allowed tells a file that grew past the limit.
    bytes.assign(limit + 1, 0);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return failure(path, error);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    if (got > limit)
        return tooLarge;
    return {};
}

} // namespace tevra::sim
