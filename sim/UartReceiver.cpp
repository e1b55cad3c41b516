#include "UartReceiver.h"

namespace tevra::sim {

namespace {
Picos sampleTime(Picos edge, Picos bitTime, int cell) {
    return edge + bitTime * static_cast<Picos>(cell) + bitTime / 2;
}
} // namespace

void UartReceiver::decode(SerialLine& line, Picos until, Picos bitTime, int dataBits,
                          const Sink& sink) {
    for (;;) {
        const auto edge = line.nextFallingEdge(searchFrom_);
        if (!edge)
            return;
        const Picos stopSample = sampleTime(*edge, bitTime, dataBits + 1);
        if (stopSample > until)
            return;
        if (line.level(sampleTime(*edge, bitTime, 0))) {
            // A glitch, not a start bit: keep looking after it.
            searchFrom_ = *edge + 1;
            continue;
        }
        ReceivedCharacter c;
        for (int bit = 0; bit < dataBits; ++bit) {
            if (line.level(sampleTime(*edge, bitTime, bit + 1)))
                c.data = static_cast<std::uint16_t>(c.data | (1u << bit));
        }
        c.framingError = !line.level(stopSample);
        c.time = stopSample;
        searchFrom_ = stopSample;
        line.discardBefore(searchFrom_ > bitTime * 16 ? searchFrom_ - bitTime * 16 : 0);
        sink(c);
    }
}

std::optional<Picos> UartReceiver::nextCompletion(const SerialLine& line, Picos bitTime,
                                                  int dataBits) const {
    const auto edge = line.nextFallingEdge(searchFrom_);
    if (!edge)
        return std::nullopt;
    return sampleTime(*edge, bitTime, dataBits + 1);
}

} // namespace tevra::sim
