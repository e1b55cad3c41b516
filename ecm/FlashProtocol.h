#pragma once

#include "Channel.h"
#include "Clock.h"
#include "FlashProgress.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tevra {

class Prompter;

// The command set the loader serves at 9600 baud: read and page-write blocks,
// the loader probe, and whole-image reads and writes with progress. Messages go
// to the Prompter as modal OK boxes; waits sleep on the channel, never spin.
// A set stop flag ends every wait and loop at once, without further messages.
class FlashProtocol {
public:
    static constexpr std::uint8_t kReadCommand = 0x01;
    static constexpr std::uint8_t kWriteCommand = 0x51;
    static constexpr int kMaxReadBlock = 255;
    // One EEPROM page: a write block lies inside one 64-byte-aligned page.
    static constexpr int kMaxWriteBlock = 64;
    static constexpr int kAttemptsPerRead = 3;
    static constexpr int kFrameBytePauseMs = 5;
    static constexpr int kAnswerTimeoutMs = 5000;
    static constexpr int kWriteSettleMs = 50;

    FlashProtocol(Channel& channel, Clock& clock, Prompter& prompter, FlashProgress& progress,
                  const std::atomic<bool>* stop = nullptr);

    void setFlashSpeed(int speed) { flashSpeed_ = speed < 0 ? 0 : (speed > 100 ? 100 : speed); }
    int flashSpeed() const { return flashSpeed_; }
    // The byte the loader holds at controller address 0 (its first byte).
    void setLoaderSignature(std::uint8_t b) { signature_ = b; }

    // One read command of 1..255 bytes, retried after a data stall while the
    // loader still answers its probe (at most three attempts).
    [[nodiscard]] bool ReadBlock(int address, int count, std::uint8_t* buffer);
    // One page-write command of 0..64 bytes inside one page.
    [[nodiscard]] bool WriteBlock(int address, int count, const std::uint8_t* bytes);
    // Reads controller address 0 and compares it with the loader's first byte.
    // Its read is never retried, so a probe inside a read's retry cannot nest.
    [[nodiscard]] bool ProbeLoader();

    [[nodiscard]] bool ReadImage(int start, int size, std::uint8_t* buffer);
    [[nodiscard]] bool WriteImage(int start, int size, const std::uint8_t* bytes);
    // Writes, one command per byte, only where bytes and previous differ.
    [[nodiscard]] bool WriteChanged(int start, int size, const std::uint8_t* bytes,
                                    const std::uint8_t* previous);

    bool stopped() const { return stop_ != nullptr && stop_->load(); }
    // An OK message, unless the user has stopped the operation.
    void say(const std::string& text, const std::string& caption);

    // Pause after each data byte of a write; 0 means the block goes out in one send.
    static int bytePauseMs(int speed);
    // Pause after each read block.
    static int readPauseMs(int speed) { return (125 - speed) * 2; }

private:
    bool readBlock(int address, int count, std::uint8_t* buffer, bool mayRetry);
    void sendFrame(std::uint8_t command, int count, int address);
    bool waitForByte(int timeoutMs);
    void pause(int ms);

    Channel& channel_;
    Clock& clock_;
    Prompter& prompter_;
    FlashProgress& progress_;
    const std::atomic<bool>* stop_;
    int flashSpeed_ = 100;
    std::uint8_t signature_;
};

// printf-style formatting of the protocol's fixed texts.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
formatText(const char* format, ...);

} // namespace tevra
