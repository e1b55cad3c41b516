#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tevra::sim {

// The emulator's end of a pseudo-terminal. The slave device is what the
// editor opens as its serial port; a symbolic link gives it a stable name.
// The master stays open for the whole run, so the editor may close and
// reopen the port (it does, between the bootload and the session) and
// changes of its line settings can be read from this side.
class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Creates the pseudo-terminal and the link; returns an error text or "".
    std::string open(const std::string& linkPath);
    // Closes the master: the editor's side sees the line go away.
    void hangUp();
    bool isOpen() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }

    enum class Wait { Readable, Timeout, Interrupted };
    // Waits up to timeoutMs for bytes (or for the slave to be opened again).
    Wait wait(int timeoutMs);
    // Reads what has arrived without blocking; 0 when nothing has.
    std::size_t read(std::uint8_t* buffer, std::size_t max);
    // Writes without blocking; bytes the pseudo-terminal does not take are
    // dropped, as on a line with nobody listening.
    void write(const std::uint8_t* bytes, std::size_t n);

    // Whether some process has the slave open right now.
    bool slaveOpen();
    // The baud rate the slave side is set to (the editor's port setting).
    int slaveBaud() const;

private:
    int master_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

} // namespace tevra::sim
