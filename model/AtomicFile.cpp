#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define TEVRA_POSIX_FILES 1
#endif

namespace tevra {

namespace {
std::string temporaryName(const std::string& path) {
    static std::mt19937 rng{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%06x~", static_cast<unsigned>(rng() & 0xFFFFFF));
    return path + suffix;
}

void setError(std::string* error, const std::string& what) {
    if (error)
        *error = what + ": " + std::strerror(errno);
}
} // namespace

bool AtomicFile::write(const std::string& path, std::string_view data, std::string* error) {
    const std::string tmp = temporaryName(path);
#ifdef TEVRA_POSIX_FILES
    // Keep the permissions of a file being replaced.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            errno = EISDIR;
            setError(error, path);
            return false;
        }
        mode = st.st_mode & 07777;
        // A read-only target stays read-only: replacing it would defeat the user's protection.
        if (::access(path.c_str(), W_OK) != 0) {
            setError(error, path);
            return false;
        }
    }
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        setError(error, tmp);
        return false;
    }
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            setError(error, tmp);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        setError(error, tmp);
        ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        setError(error, tmp);
        ::unlink(tmp.c_str());
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        setError(error, path);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
#else
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            setError(error, tmp);
            return false;
        }
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            setError(error, tmp);
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    std::remove(path.c_str());
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        setError(error, path);
        std::remove(tmp.c_str());
        return false;
    }
    return true;
#endif
}

bool AtomicFile::copy(const std::string& from, const std::string& to, std::string* error) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        setError(error, from);
        return false;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        setError(error, from);
        return false;
    }
    return write(to, data, error);
}

} // namespace tevra
