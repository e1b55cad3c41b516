// End to end: the real SerialCom on the emulator's pseudo-terminal, the real
// loader bytes bootloaded into the emulated 68HC11, the EEPROM saved afterwards.
#include "Calibration.h"
#include "FlashOperation.h"
#include "RecordingPrompter.h"
#include "SerialCom.h"
#include "SimulatedEcm.h"
#include "SteadyClock.h"

#include <gtest/gtest.h>

namespace tevra::test {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes eepromPattern(int seed) {
    Bytes bytes(0x8000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>((i * 13 + static_cast<std::size_t>(seed)) ^ (i >> 7));
    }
    return bytes;
}

Bytes tail(const Bytes& eeprom, int start) {
    return Bytes(eeprom.begin() + (start - 0x8000), eeprom.end());
}

struct Session {
    SerialCom port;
    SteadyClock clock;
    RecordingPrompter prompter;
    RecordingProgress progress;
    Calibration cal;
    LastFlashCopy last;

    explicit Session(const SimulatedEcm& sim) { port.setDevicePath(sim.link()); }
    FlashResult run(FlashOperationKind op, FlashSize size = FlashSize::Size16K) {
        FlashSettings s;
        s.operation = op;
        s.size = size;
        FlashOperation flash(port, clock, prompter, progress);
        return flash.run(s, cal, last);
    }
};

TEST(SimLink, ReadsBothSizes) {
    const Bytes eeprom = eepromPattern(1);
    for (FlashSize size : {FlashSize::Size16K, FlashSize::Size32K}) {
        SimulatedEcm sim(eeprom);
        ASSERT_TRUE(sim.ok());
        Session session(sim);
        const FlashResult r = session.run(FlashOperationKind::Read, size);
        EXPECT_TRUE(r.succeeded(false)) << ::testing::PrintToString(session.prompter.texts());
        const int start = size == FlashSize::Size16K ? 0xC000 : 0x8000;
        EXPECT_EQ(session.cal.baseAddress, start);
        EXPECT_EQ(session.cal.image(), tail(eeprom, start));
        EXPECT_EQ(sim.stopAndSave(), eeprom); // a read changes nothing
    }
}

TEST(SimLink, FullWriteThenDifferentialWriteProgramTheEeprom) {
    const Bytes before = eepromPattern(2);
    SimulatedEcm sim(before);
    ASSERT_TRUE(sim.ok());
    Session session(sim);
    Bytes image = tail(eepromPattern(7), 0xC000);
    session.cal.baseAddress = 0xC000;
    session.cal.SetImage(image);

    FlashResult r = session.run(FlashOperationKind::FullWrite);
    EXPECT_TRUE(r.succeeded(true)) << ::testing::PrintToString(session.prompter.texts());
    EXPECT_EQ(session.prompter.texts().back(), "Calibration matches memory contents.");
    ASSERT_TRUE(session.last.has_value());

    image[0x0000] ^= 0x5A;
    image[0x1234] ^= 0xFF;
    image[0x3FFF] ^= 0x01;
    session.cal.SetImage(image);
    r = session.run(FlashOperationKind::DifferentialWrite);
    EXPECT_TRUE(r.succeeded(true)) << ::testing::PrintToString(session.prompter.texts());
    EXPECT_EQ(session.last, image);

    Bytes expected = before;
    std::copy(image.begin(), image.end(), expected.begin() + 0x4000);
    EXPECT_EQ(sim.stopAndSave(), expected);
}

} // namespace
} // namespace tevra::test
