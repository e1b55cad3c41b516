#pragma once

#include "SerialLine.h"
#include "UartReceiver.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tevra::sim {

// The 68HC11 serial communications interface: BAUD, SCCR1, SCCR2, SCSR and
// SCDR with the flag-clearing sequences of the real part (a status flag goes
// only after SCSR was read with it set and SCDR was then read or written).
// The receiver samples the host's waveform at the rate BAUD selects; the
// transmitter puts frames on the line towards the host.
class Sci {
public:
    // Register offsets inside the register block.
    static constexpr std::uint8_t kBaud = 0x2B;
    static constexpr std::uint8_t kSccr1 = 0x2C;
    static constexpr std::uint8_t kSccr2 = 0x2D;
    static constexpr std::uint8_t kScsr = 0x2E;
    static constexpr std::uint8_t kScdr = 0x2F;

    static constexpr std::uint8_t kTdre = 0x80;
    static constexpr std::uint8_t kTc = 0x40;
    static constexpr std::uint8_t kRdrf = 0x20;
    static constexpr std::uint8_t kIdle = 0x10;
    static constexpr std::uint8_t kOr = 0x08;
    static constexpr std::uint8_t kNf = 0x04;
    static constexpr std::uint8_t kFe = 0x02;

    // Called for each byte the transmitter starts; returning false keeps it
    // off the wire (fault injection) while the transmitter still spends its
    // time on it.
    using TransmitFilter = std::function<bool(std::uint8_t)>;
    using Log = std::function<void(const std::string&)>;

    Sci(SerialLine& fromHost, SerialLine& toHost) : rxLine_(fromHost), txLine_(toHost) {}

    void reset();
    // Brings receiver and transmitter up to emulated time `nowCycles`.
    void advance(std::uint64_t nowCycles);
    std::uint8_t read(std::uint8_t offset, std::uint64_t nowCycles);
    void write(std::uint8_t offset, std::uint8_t value, std::uint64_t nowCycles);
    // Reads a register without the side effects of a CPU read.
    std::uint8_t peek(std::uint8_t offset) const;

    bool interruptRequested() const;
    // The bit rate BAUD selects at a 2 MHz E clock.
    int baudRate() const;
    Picos bitTime() const;

    void setTransmitFilter(TransmitFilter f) { filter_ = std::move(f); }
    void setLog(Log log) { log_ = std::move(log); }

private:
    int dataBits() const { return (sccr1_ & 0x10) ? 9 : 8; }
    void receive(const ReceivedCharacter& c);
    void loadShifter(Picos at);
    int frameBits() const { return dataBits() + 2; }

    SerialLine& rxLine_;
    SerialLine& txLine_;
    UartReceiver receiver_;
    TransmitFilter filter_;
    Log log_;

    std::uint8_t baud_ = 0;
    std::uint8_t sccr1_ = 0;
    std::uint8_t sccr2_ = 0;
    std::uint8_t scsr_ = kTdre | kTc;
    std::uint8_t rdr_ = 0;
    std::uint8_t tdr_ = 0;
    bool rdr9_ = false;
    // Flags seen set by the last SCSR read, which the next SCDR access clears.
    std::uint8_t armedFlags_ = 0;
    bool shifterBusy_ = false;
    Picos shifterFreeAt_ = 0;
    Picos now_ = 0;
};

} // namespace tevra::sim
