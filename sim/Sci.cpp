#include "Sci.h"

namespace tevra::sim {

namespace {
constexpr std::uint8_t kSccr2Tie = 0x80;
constexpr std::uint8_t kSccr2Tcie = 0x40;
constexpr std::uint8_t kSccr2Rie = 0x20;
constexpr std::uint8_t kSccr2Ilie = 0x10;
constexpr std::uint8_t kSccr2Te = 0x08;
constexpr std::uint8_t kSccr2Re = 0x04;
constexpr std::uint8_t kSccr1T8 = 0x40;
constexpr std::uint8_t kReceiveFlags = Sci::kRdrf | Sci::kIdle | Sci::kOr | Sci::kNf | Sci::kFe;
} // namespace

void Sci::reset() {
    baud_ = 0;
    sccr1_ = 0;
    sccr2_ = 0;
    scsr_ = kTdre | kTc;
    rdr_ = 0;
    tdr_ = 0;
    rdr9_ = false;
    armedFlags_ = 0;
    shifterBusy_ = false;
    shifterFreeAt_ = now_;
    receiver_.restartAt(now_);
}

int Sci::baudRate() const {
    return static_cast<int>(kPicosPerSecond / bitTime());
}

Picos Sci::bitTime() const {
    static constexpr int kPrescale[4] = {1, 3, 4, 13};
    const int prescale = kPrescale[(baud_ >> 4) & 3];
    const Picos cycles = 16ULL * static_cast<Picos>(prescale) << (baud_ & 7);
    return cycles * kPicosPerCycle;
}

void Sci::advance(std::uint64_t nowCycles) {
    const Picos now = nowCycles * kPicosPerCycle;
    if (now > now_)
        now_ = now;
    // The transmitter moves TDR into the shift register the moment the
    // previous frame has gone, so back-to-back bytes leave without a gap.
    while (shifterBusy_ && shifterFreeAt_ <= now_) {
        shifterBusy_ = false;
        if ((sccr2_ & kSccr2Te) && !(scsr_ & kTdre))
            loadShifter(shifterFreeAt_);
    }
    if (!shifterBusy_ && (scsr_ & kTdre))
        scsr_ |= kTc;

    if (sccr2_ & kSccr2Re)
        receiver_.decode(rxLine_, now_, bitTime(), dataBits(),
                         [this](const ReceivedCharacter& c) { receive(c); });
    else
        receiver_.restartAt(now_);
}

void Sci::loadShifter(Picos at) {
    const Picos frameTime = bitTime() * static_cast<Picos>(frameBits());
    scsr_ |= kTdre;
    shifterBusy_ = true;
    shifterFreeAt_ = at + frameTime;
    if (filter_ && !filter_(tdr_)) {
        txLine_.holdIdleUntil(shifterFreeAt_);
        return;
    }
    std::uint16_t data = tdr_;
    if (dataBits() == 9 && (sccr1_ & kSccr1T8))
        data = static_cast<std::uint16_t>(data | 0x100);
    txLine_.send(at, data, dataBits(), bitTime());
}

void Sci::receive(const ReceivedCharacter& c) {
    if (c.framingError && log_)
        log_("sci: framing error at " + std::to_string(baudRate()) + " baud");
    if (scsr_ & kRdrf) {
        // The CPU has not taken the previous byte: the new one is lost.
        scsr_ |= kOr;
        if (log_)
            log_("sci: receive overrun");
        return;
    }
    rdr_ = static_cast<std::uint8_t>(c.data);
    rdr9_ = (c.data & 0x100) != 0;
    scsr_ |= kRdrf;
    if (c.framingError)
        scsr_ |= kFe;
}

std::uint8_t Sci::read(std::uint8_t offset, std::uint64_t nowCycles) {
    advance(nowCycles);
    switch (offset) {
    case kScsr:
        armedFlags_ = scsr_;
        return scsr_;
    case kScdr: {
        const auto cleared = static_cast<std::uint8_t>(armedFlags_ & kReceiveFlags);
        scsr_ = static_cast<std::uint8_t>(scsr_ & ~cleared);
        armedFlags_ = static_cast<std::uint8_t>(armedFlags_ & ~cleared);
        return rdr_;
    }
    default:
        return peek(offset);
    }
}

std::uint8_t Sci::peek(std::uint8_t offset) const {
    switch (offset) {
    case kBaud:
        return baud_;
    case kSccr1:
        return static_cast<std::uint8_t>(sccr1_ | (rdr9_ ? 0x80 : 0));
    case kSccr2:
        return sccr2_;
    case kScsr:
        return scsr_;
    case kScdr:
        return rdr_;
    default:
        return 0;
    }
}

void Sci::write(std::uint8_t offset, std::uint8_t value, std::uint64_t nowCycles) {
    advance(nowCycles);
    switch (offset) {
    case kBaud:
        baud_ = value;
        if (log_)
            log_("sci: baud rate " + std::to_string(baudRate()));
        break;
    case kSccr1:
        sccr1_ = static_cast<std::uint8_t>(value & 0x58);
        break;
    case kSccr2: {
        const std::uint8_t old = sccr2_;
        sccr2_ = value;
        if (!(old & kSccr2Te) && (value & kSccr2Te) && !shifterBusy_) {
            // Enabling the transmitter first sends one idle character.
            shifterBusy_ = true;
            shifterFreeAt_ = now_ + bitTime() * static_cast<Picos>(frameBits());
            txLine_.holdIdleUntil(shifterFreeAt_);
        }
        if (!(old & kSccr2Re) && (value & kSccr2Re))
            receiver_.restartAt(now_);
        break;
    }
    case kScdr:
        tdr_ = value;
        if (armedFlags_ & kTdre) {
            scsr_ = static_cast<std::uint8_t>(scsr_ & ~(kTdre | (armedFlags_ & kTc)));
            armedFlags_ = static_cast<std::uint8_t>(armedFlags_ & ~(kTdre | kTc));
        } else if (log_) {
            log_("sci: SCDR written without reading SCSR first; the byte stays unsent");
        }
        advance(nowCycles);
        if (!shifterBusy_ && (sccr2_ & kSccr2Te) && !(scsr_ & kTdre))
            loadShifter(now_);
        break;
    default:
        break;
    }
}

bool Sci::interruptRequested() const {
    return ((sccr2_ & kSccr2Tie) && (scsr_ & kTdre)) || ((sccr2_ & kSccr2Tcie) && (scsr_ & kTc)) ||
           ((sccr2_ & kSccr2Rie) && (scsr_ & (kRdrf | kOr))) ||
           ((sccr2_ & kSccr2Ilie) && (scsr_ & kIdle));
}

} // namespace tevra::sim
