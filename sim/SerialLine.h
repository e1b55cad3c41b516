#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace tevra::sim {

// Time on the serial wires, in picoseconds, so that bit times of any baud
// rate stay exact enough over long runs (one E cycle is 500 000 ps).
using Picos = std::uint64_t;

inline constexpr Picos kPicosPerSecond = 1'000'000'000'000ULL;
inline constexpr Picos kPicosPerCycle = 500'000; // E clock 2 MHz

Picos bitTimeForBaud(int baud);

// One direction of an asynchronous serial line, as the waveform a sender
// puts on it: frames of a start bit, data bits (least significant first)
// and stop bits, each with the sender's own bit time. A receiver samples
// the waveform at its own bit time, so a baud mismatch between the two ends
// shows up as framing errors or wrong bytes, as it does on a real wire.
class SerialLine {
public:
    // Puts one frame on the line, starting no earlier than `earliest` and
    // not before the previous frame has ended. Returns its start time.
    Picos send(Picos earliest, std::uint16_t data, int dataBits, Picos bitTime);
    // Keeps the line busy (idle level) until `until`, as a transmitter that
    // sends its idle preamble or a frame that was suppressed.
    void holdIdleUntil(Picos until);

    // The level at time t: true is mark (idle), false is space.
    bool level(Picos t) const;
    // The first mark-to-space transition at or after `after`.
    std::optional<Picos> nextFallingEdge(Picos after) const;
    // When the last queued frame ends (0 when nothing was ever sent).
    Picos busyUntil() const { return busyUntil_; }
    bool hasFramesAfter(Picos t) const;

    // Forgets frames that ended at or before t; receivers never look back.
    void discardBefore(Picos t);
    void clear();

private:
    struct Frame {
        Picos start;
        Picos bitTime;
        std::uint32_t bits; // bit i is the level of bit cell i, start bit first
        int bitCount;
        Picos end() const { return start + bitTime * static_cast<Picos>(bitCount); }
    };
    std::deque<Frame> frames_;
    Picos busyUntil_ = 0;
};

} // namespace tevra::sim
