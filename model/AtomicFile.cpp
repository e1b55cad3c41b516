#include "AtomicFile.h"

#include "FileReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#define TEVRA_POSIX_FILES 1
#else
#include <fstream>
#endif

namespace tevra {

namespace {

// A temporary file is named after its target: "NAME.xxxxxx~" in the same folder,
// six lower-case hex digits. Nothing else the program writes looks like that,
// which is what lets a later save recognise the leftovers of a killed one.
constexpr std::size_t kTemporaryDigits = 6;

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

#ifdef TEVRA_POSIX_FILES

namespace {

bool isTemporaryOf(std::string_view entry, std::string_view name) {
    if (entry.size() != name.size() + kTemporaryDigits + 2 || entry.substr(0, name.size()) != name)
        return false;
    entry.remove_prefix(name.size());
    if (entry.front() != '.' || entry.back() != '~')
        return false;
    for (const char c : entry.substr(1, kTemporaryDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

struct Place {
    std::string folder; // "." for a bare file name
    std::string name;
};

Place placeOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file a path finally names: saving through a symbolic link replaces the
// file it points to and keeps the link. A link to a file not yet there names
// that file.
bool followLinks(std::string path, std::string& target) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = path;
            return true;
        }
        std::string to(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) >= to.size()) {
            errno = ENAMETOOLONG; // the link changed while it was read
            return false;
        }
        to.resize(static_cast<std::size_t>(n));
        path = to.front() == '/' ? to : placeOf(path).folder + "/" + to;
    }
    errno = ELOOP;
    return false;
}

// Removes what earlier saves of the same target left behind when they were
// killed while their temporary file had a name. A temporary file is locked for
// as long as its save runs, so one that can be locked belongs to nobody.
void removeStaleTemporaries(const Place& place) {
    DIR* folder = ::opendir(place.folder.c_str());
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        if (!isTemporaryOf(entry->d_name, place.name))
            continue;
        const std::string path = place.folder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(folder);
}

bool writeAll(int fd, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

// Makes a rename in the folder last across a power cut. A file system that
// cannot sync a folder says EINVAL; its renames are as durable as it gets.
bool syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

enum class Written { Done, Failed, Unsupported };

// Gives the written, unnamed file a fresh name of the temporary pattern (linkat
// cannot replace an existing file).
bool nameUnnamed(int fd, const std::string& target, std::string& named) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        named = temporaryName(target);
        if (::linkat(AT_FDCWD, self, AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno == EEXIST)
            continue;
            // Without /proc, AT_EMPTY_PATH does the same where the process may use it.
#ifdef AT_EMPTY_PATH
        if (::linkat(fd, "", AT_FDCWD, named.c_str(), AT_EMPTY_PATH) == 0)
            return true;
        if (errno == EEXIST)
            continue;
#endif
        return false;
    }
    errno = EEXIST;
    return false;
}

// The file is written without a name, so a save killed part-way leaves nothing
// behind; it gets a name only for the instant before it is renamed over the target.
Written writeUnnamed(const Place& place, const std::string& target, std::string_view data,
                     mode_t mode, std::string* error) {
#ifdef O_TMPFILE
    const int fd = ::open(place.folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return Written::Unsupported;
    // Locked before it has a name, so no other save takes it for a leftover.
    ::flock(fd, LOCK_EX);
    if (!writeAll(fd, data)) {
        setError(error, target);
        ::close(fd);
        return Written::Failed;
    }
    std::string named;
    if (!nameUnnamed(fd, target, named)) {
        ::close(fd);
        return Written::Unsupported;
    }
    if (::rename(named.c_str(), target.c_str()) != 0) {
        setError(error, target);
        ::unlink(named.c_str());
        ::close(fd);
        return Written::Failed;
    }
    const bool synced = syncFolder(place.folder);
    if (!synced)
        setError(error, place.folder);
    ::close(fd);
    return synced ? Written::Done : Written::Failed;
#else
    (void)place;
    (void)target;
    (void)data;
    (void)mode;
    (void)error;
    return Written::Unsupported;
#endif
}

// Where the file system has no unnamed files: a named temporary file, locked
// while it is written and renamed over the target.
bool writeNamed(const Place& place, const std::string& target, std::string_view data, mode_t mode,
                std::string* error) {
    const std::string tmp = temporaryName(target);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        setError(error, tmp);
        return false;
    }
    ::flock(fd, LOCK_EX);
    if (!writeAll(fd, data)) {
        setError(error, tmp);
        ::unlink(tmp.c_str());
        ::close(fd);
        return false;
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        setError(error, target);
        ::unlink(tmp.c_str());
        ::close(fd);
        return false;
    }
    const bool synced = syncFolder(place.folder);
    if (!synced)
        setError(error, place.folder);
    ::close(fd);
    return synced;
}

} // namespace

bool AtomicFile::write(const std::string& path, std::string_view data, std::string* error) {
    std::string target;
    if (!followLinks(path, target)) {
        setError(error, path);
        return false;
    }
    // Keep the permissions of a file being replaced.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            errno = EISDIR;
            setError(error, path);
            return false;
        }
        mode = st.st_mode & 07777;
        // A read-only target stays read-only: replacing it would defeat the user's protection.
        if (::access(target.c_str(), W_OK) != 0) {
            setError(error, path);
            return false;
        }
    }
    const Place place = placeOf(target);
    removeStaleTemporaries(place);
    switch (writeUnnamed(place, target, data, mode, error)) {
    case Written::Done:
        return true;
    case Written::Failed:
        return false;
    case Written::Unsupported:
        break;
    }
    return writeNamed(place, target, data, mode, error);
}

#else

bool AtomicFile::write(const std::string& path, std::string_view data, std::string* error) {
    const std::string tmp = temporaryName(path);
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
}

#endif

bool AtomicFile::copy(const std::string& from, const std::string& to, std::string* error) {
    FileReader::Result file = FileReader::read(from, FileReader::kTextLimit);
    if (!file.ok()) {
        if (error)
            *error = file.problem.empty() ? from + ": " + std::strerror(ENOENT) : file.problem;
        return false;
    }
    return write(to, file.data, error);
}

} // namespace tevra
