#pragma once

#include "SerialLine.h"

#include <cstdint>
#include <functional>

namespace tevra::sim {

struct ReceivedCharacter {
    std::uint16_t data = 0;
    bool framingError = false;
    Picos time = 0; // when the stop bit was sampled
};

// The receiving half of a UART: waits for a falling edge, samples the start
// bit, the data bits and the stop bit in the middle of each of its own bit
// cells. Used for the controller's SCI receiver and for the host's port.
class UartReceiver {
public:
    using Sink = std::function<void(const ReceivedCharacter&)>;

    // Decodes every character whose stop bit falls at or before `until`.
    void decode(SerialLine& line, Picos until, Picos bitTime, int dataBits, const Sink& sink);
    // When the character being received now would be complete, if any.
    std::optional<Picos> nextCompletion(const SerialLine& line, Picos bitTime, int dataBits) const;
    // Forget any character in progress and look for edges from `t` on.
    void restartAt(Picos t) { searchFrom_ = t; }

private:
    Picos searchFrom_ = 0;
};

} // namespace tevra::sim
