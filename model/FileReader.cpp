#include "FileReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define TEVRA_POSIX_FILES 1
#endif

namespace tevra {

namespace {

using Result = FileReader::Result;
using Outcome = FileReader::Outcome;

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string sizeText(std::uintmax_t n) {
    if (n >= (1u << 20) && n % (1u << 20) == 0)
        return std::to_string(n >> 20) + " MB";
    if (n >= 1024 && n % 1024 == 0)
        return std::to_string(n >> 10) + " KB";
    return std::to_string(n) + " bytes";
}

Result refused(Outcome outcome, std::string problem) {
    Result r;
    r.outcome = outcome;
    r.problem = std::move(problem);
    return r;
}

Result notAFile(const std::string& path, bool folder) {
    return refused(Outcome::NotAFile, folder ? quoted(path) + " is a folder, not a file."
                                             : quoted(path) + " is not a regular file.");
}

Result tooLarge(const std::string& path, std::uintmax_t limit) {
    return refused(Outcome::TooLarge, quoted(path) + " is larger than " + sizeText(limit) +
                                          ", more than any file of its kind holds.");
}

Result unreadable(const std::string& path, int error) {
    if (error == ENOENT || error == ENOTDIR)
        return refused(Outcome::Missing, {});
    return refused(Outcome::Unreadable,
                   "Cannot read " + quoted(path) + ": " + std::strerror(error) + ".");
}

} // namespace

#ifdef TEVRA_POSIX_FILES

FileReader::Result FileReader::read(const std::string& path, std::uintmax_t limit) {
    // Look before opening: opening a FIFO for reading waits for a writer, and
    // opening a serial device may change its modem lines.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return unreadable(path, errno);
    if (!S_ISREG(st.st_mode))
        return notAFile(path, S_ISDIR(st.st_mode));
    if (static_cast<std::uintmax_t>(st.st_size) > limit)
        return tooLarge(path, limit);
    // O_NONBLOCK: should the path have become a FIFO since, the open still returns.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return unreadable(path, errno);
    Result r;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notAFile(path, S_ISDIR(st.st_mode));
    }
    r.data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return unreadable(path, error == ENOENT ? EIO : error);
        }
        if (n == 0)
            break;
        // The file may still be growing: the limit holds for what is read.
        if (r.data.size() + static_cast<std::size_t>(n) > limit) {
            ::close(fd);
            return tooLarge(path, limit);
        }
        r.data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    r.outcome = Outcome::Read;
    return r;
}

#else

FileReader::Result FileReader::read(const std::string& path, std::uintmax_t limit) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return refused(Outcome::Missing, {});
    if (!std::filesystem::is_regular_file(status))
        return notAFile(path, std::filesystem::is_directory(status));
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return unreadable(path, EIO);
    if (size > limit)
        return tooLarge(path, limit);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return unreadable(path, EACCES);
    Result r;
    r.data.resize(static_cast<std::size_t>(size));
    in.read(r.data.data(), static_cast<std::streamsize>(size));
    r.data.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return unreadable(path, EIO);
    r.outcome = Outcome::Read;
    return r;
}

#endif

} // namespace tevra
