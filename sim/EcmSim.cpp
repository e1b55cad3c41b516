#include "EcmSim.h"

#include <algorithm>
#include <cstdio>

namespace tevra::sim {

EcmSim::EcmSim(SimFaults faults) : faults_(faults) {
    eeprom_.setUnlockIgnored(faults_.noSdp);
    bus_.setCorruptAddress(faults_.corruptAddress);
    sci_.setTransmitFilter([this](std::uint8_t b) { return allowTransmit(b); });
    powerOn();
}

void EcmSim::setLog(Log log) {
    log_ = log;
    sci_.setLog(log);
    eeprom_.setLog(log);
    boot_.setLog(log);
}

void EcmSim::powerOn() {
    if (faults_.echoOnly)
        return; // no controller on this line at all
    bytesSentSincePowerOn_ = 0;
    bus_.resetToBootstrap();
    cpu_.registers() = CpuRegisters{};
    boot_.start();
}

void EcmSim::powerCycle() {
    toController_.clear();
    toHost_.clear();
    hostReceiver_.restartAt(nowPicos());
    if (log_)
        log_("controller: power cycle");
    powerOn();
}

void EcmSim::loadImage(std::uint16_t base, std::span<const std::uint8_t> image) {
    for (std::size_t i = 0; i < image.size() && base + i <= 0xFFFF; ++i)
        eeprom_.poke(static_cast<std::uint16_t>(base + i), image[i]);
}

std::vector<std::uint8_t> EcmSim::eepromContents(std::uint16_t base, std::size_t length) const {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < length && base + i <= 0xFFFF; ++i)
        bytes.push_back(eeprom_.peek(static_cast<std::uint16_t>(base + i)));
    return bytes;
}

void EcmSim::feedByte(std::uint8_t byte, int baud) {
    feedByteAt(byte, baud, nowPicos());
}

void EcmSim::feed(std::span<const std::uint8_t> bytes, int baud) {
    for (std::uint8_t b : bytes)
        feedByte(b, baud);
}

Picos EcmSim::feedByteAt(std::uint8_t byte, int baud, Picos earliest) {
    const Picos start = earliest > nowPicos() ? earliest : nowPicos();
    const Picos bitTime = bitTimeForBaud(baud);
    // An echoing line puts each byte straight back towards the host.
    SerialLine& line = faults_.echoOnly ? toHost_ : toController_;
    if (!faults_.echoOnly && phase() == Phase::RunningLoader) {
        const std::uint64_t n = ++loaderBytesReceived_;
        if (faults_.dropReceived && n == *faults_.dropReceived) {
            if (log_)
                log_("fault: byte " + std::to_string(n) + " from the host lost");
            // The character's time passes with the line idle.
            line.holdIdleUntil(std::max(start, line.busyUntil()) + 10 * bitTime);
            return line.busyUntil();
        }
        if (faults_.garbleReceived && n == *faults_.garbleReceived) {
            if (log_)
                log_("fault: byte " + std::to_string(n) + " from the host garbled");
            // Noise over the character: other data bits, and a space where its
            // stop bit belongs (a ninth data bit of 0), so the SCI flags FE.
            line.send(start, static_cast<std::uint16_t>(byte ^ 0x5A), 9, bitTime);
            return line.busyUntil();
        }
    }
    line.send(start, byte, 8, bitTime);
    return line.busyUntil();
}

EcmSim::Phase EcmSim::phase() const {
    switch (boot_.phase()) {
    case BootstrapRom::Phase::WaitingForSync:
        return Phase::WaitingForSync;
    case BootstrapRom::Phase::Loading:
        return Phase::LoadingBootstrap;
    case BootstrapRom::Phase::Done:
        break;
    }
    return Phase::RunningLoader;
}

void EcmSim::run(std::uint64_t cycles) {
    const std::uint64_t end = now_ + cycles;
    if (faults_.echoOnly) {
        now_ = end;
    } else {
        while (now_ < end) {
            const int spent =
                boot_.phase() == BootstrapRom::Phase::Done ? cpu_.step() : boot_.step();
            now_ += static_cast<std::uint64_t>(spent);
        }
        sci_.advance(now_);
        // A page whose write cycle ended is in its cells even when nothing
        // reads the part afterwards.
        eeprom_.advance(now_);
        // One line for the first trap: a runaway program traps endlessly.
        if (cpu_.illegalOpcodeCount() != 0 && illegalReported_ == 0 && log_) {
            illegalReported_ = cpu_.illegalOpcodeCount();
            char text[64];
            std::snprintf(text, sizeof text, "cpu: illegal opcode trap, PC now %04X",
                          cpu_.registers().pc);
            log_(text);
        }
    }
    decodeForHost();
}

bool EcmSim::runUntilOutput(std::size_t count, std::uint64_t maxCycles) {
    constexpr std::uint64_t kChunk = 500;
    std::uint64_t spent = 0;
    while (output_.size() < count && spent < maxCycles) {
        run(kChunk);
        spent += kChunk;
    }
    return output_.size() >= count;
}

std::vector<std::uint8_t> EcmSim::takeOutput() {
    std::vector<std::uint8_t> bytes;
    bytes.swap(output_);
    return bytes;
}

bool EcmSim::busy() {
    const Picos now = nowPicos();
    return toController_.hasFramesAfter(now) || toHost_.hasFramesAfter(now) || eeprom_.busy(now_) ||
           !(sci_.peek(Sci::kScsr) & Sci::kTdre);
}

void EcmSim::decodeForHost() {
    // A host UART delivers a character with a framing error as 0x00.
    hostReceiver_.decode(
        toHost_, nowPicos(), bitTimeForBaud(hostBaud_), 8, [this](const ReceivedCharacter& c) {
            output_.push_back(c.framingError ? 0 : static_cast<std::uint8_t>(c.data));
        });
}

bool EcmSim::allowTransmit(std::uint8_t byte) {
    (void)byte;
    // The boot ROM's echoes are not subject to faults; counting them by
    // number keeps an echo that leaves after the jump to 0x0000 exempt too.
    if (++bytesSentSincePowerOn_ <= static_cast<std::uint64_t>(boot_.echoesWritten()))
        return true;
    const std::uint64_t n = ++loaderBytesSent_;
    if (faults_.hangupAfter && n > *faults_.hangupAfter) {
        if (!hangupRequested_ && log_)
            log_("fault: line hangs up");
        hangupRequested_ = true;
        return false;
    }
    if (faults_.stallAfter && n > *faults_.stallAfter) {
        if (!stallReported_ && log_)
            log_("fault: controller stops answering");
        stallReported_ = true;
        return false;
    }
    if (faults_.dropByte && n == *faults_.dropByte) {
        if (log_)
            log_("fault: dropped byte " + std::to_string(n));
        return false;
    }
    return true;
}

} // namespace tevra::sim
