#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// A file that lives in memory, for readers that take a path: each input is
// written into it and read back through /proc/self/fd.
class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("tevra-fuzz", 0)) {}
    ~MemoryFile() { close(fd_); }
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }
    void set(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0 || pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))
            std::abort();
    }

private:
    int fd_;
};
