#pragma once

#include "BootstrapRom.h"
#include "ControllerBus.h"
#include "Cpu6811.h"
#include "ParallelEeprom.h"
#include "Sci.h"
#include "SerialLine.h"
#include "SimFaults.h"
#include "UartReceiver.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tevra::sim {

// The whole emulated engine controller, usable in-process: the host feeds
// bytes at its baud rate, runs the controller for some emulated time and
// collects what the controller sent, decoded at the host's baud rate. No
// pseudo-terminal and no wall clock are involved; time is E-clock cycles.
class EcmSim {
public:
    enum class Phase { WaitingForSync, LoadingBootstrap, RunningLoader };
    using Log = std::function<void(const std::string&)>;

    static constexpr int kBootstrapBaud = 1200;

    explicit EcmSim(SimFaults faults = {});
    EcmSim(const EcmSim&) = delete;
    EcmSim& operator=(const EcmSim&) = delete;

    // Power-on (or power-cycle) into bootstrap mode. Memory contents stay.
    void powerOn();
    // Switching off and on again: bytes on the wires are lost as well.
    void powerCycle();

    // Puts `image` into the EEPROM from CPU address `base` (0x8000 or more).
    void loadImage(std::uint16_t base, std::span<const std::uint8_t> image);
    std::vector<std::uint8_t> eepromContents(std::uint16_t base, std::size_t length) const;

    // The host's side of the line: bytes it sends go out at `baud`; what the
    // controller sends is decoded at the host's current baud rate.
    void feedByte(std::uint8_t byte, int baud);
    void feed(std::span<const std::uint8_t> bytes, int baud);
    // As feedByte, but the frame starts no earlier than `earliest` (ps).
    // Returns when the frame ends on the wire.
    Picos feedByteAt(std::uint8_t byte, int baud, Picos earliest);
    void setHostBaud(int baud) { hostBaud_ = baud; }
    int hostBaud() const { return hostBaud_; }

    void run(std::uint64_t cycles);
    void advanceMicros(std::uint64_t micros) { run(micros * 2); }
    // Runs until at least `count` bytes wait in the output or `maxCycles`
    // have passed; true when the bytes came.
    bool runUntilOutput(std::size_t count, std::uint64_t maxCycles);
    std::vector<std::uint8_t> takeOutput();
    std::size_t outputSize() const { return output_.size(); }

    std::uint64_t cycles() const { return now_; }
    Picos nowPicos() const { return now_ * kPicosPerCycle; }
    Phase phase() const;
    // True while bytes are on either wire or the EEPROM is programming:
    // emulated time then matters and should not be stretched.
    bool busy();
    // The line was told to go away (fault injection); the host side closes.
    bool hangupRequested() const { return hangupRequested_; }
    std::uint64_t loaderBytesSent() const { return loaderBytesSent_; }

    Cpu6811& cpu() { return cpu_; }
    ControllerBus& bus() { return bus_; }
    ParallelEeprom& eeprom() { return eeprom_; }
    Sci& sci() { return sci_; }
    void setLog(Log log);

private:
    bool allowTransmit(std::uint8_t byte);
    void decodeForHost();

    SimFaults faults_;
    std::uint64_t now_ = 0;
    SerialLine toController_;
    SerialLine toHost_;
    Sci sci_{toController_, toHost_};
    ParallelEeprom eeprom_;
    ControllerBus bus_{sci_, eeprom_, now_};
    Cpu6811 cpu_{bus_};
    BootstrapRom boot_{bus_, cpu_};
    UartReceiver hostReceiver_;
    int hostBaud_ = kBootstrapBaud;
    std::vector<std::uint8_t> output_;
    std::uint64_t loaderBytesSent_ = 0;
    std::uint64_t loaderBytesReceived_ = 0;
    std::uint64_t bytesSentSincePowerOn_ = 0;
    std::uint64_t illegalReported_ = 0;
    bool hangupRequested_ = false;
    bool stallReported_ = false;
    Log log_;
};

} // namespace tevra::sim
