#include "SerialLine.h"

namespace tevra::sim {

Picos bitTimeForBaud(int baud) {
    return baud > 0 ? kPicosPerSecond / static_cast<Picos>(baud) : kPicosPerSecond;
}

Picos SerialLine::send(Picos earliest, std::uint16_t data, int dataBits, Picos bitTime) {
    const Picos start = earliest > busyUntil_ ? earliest : busyUntil_;
    // Start bit (space) at bit 0, data, then one stop bit (mark).
    std::uint32_t bits = static_cast<std::uint32_t>(data & ((1u << dataBits) - 1)) << 1;
    bits |= 1u << (dataBits + 1);
    Frame f{start, bitTime, bits, dataBits + 2};
    busyUntil_ = f.end();
    frames_.push_back(f);
    return start;
}

void SerialLine::holdIdleUntil(Picos until) {
    if (until > busyUntil_)
        busyUntil_ = until;
}

bool SerialLine::level(Picos t) const {
    for (const Frame& f : frames_) {
        if (t < f.start)
            return true;
        if (t < f.end()) {
            const auto cell = static_cast<int>((t - f.start) / f.bitTime);
            return ((f.bits >> cell) & 1u) != 0;
        }
    }
    return true;
}

std::optional<Picos> SerialLine::nextFallingEdge(Picos after) const {
    for (const Frame& f : frames_) {
        if (f.end() < after)
            continue;
        for (int cell = 0; cell < f.bitCount; ++cell) {
            const Picos t = f.start + f.bitTime * static_cast<Picos>(cell);
            if (t < after)
                continue;
            const bool space = ((f.bits >> cell) & 1u) == 0;
            // Before the first cell the line is idle or the previous stop bit.
            const bool markBefore = cell == 0 ? true : ((f.bits >> (cell - 1)) & 1u) != 0;
            if (space && markBefore)
                return t;
        }
    }
    return std::nullopt;
}

bool SerialLine::hasFramesAfter(Picos t) const {
    return !frames_.empty() && frames_.back().end() > t;
}

void SerialLine::discardBefore(Picos t) {
    while (!frames_.empty() && frames_.front().end() <= t)
        frames_.pop_front();
}

void SerialLine::clear() {
    frames_.clear();
    busyUntil_ = 0;
}

} // namespace tevra::sim
