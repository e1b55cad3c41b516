// Whole flash operations against the emulated controller in-process: the real
// protocol, the real loader bytes, the emulated 68HC11, SCI and EEPROM.
#include "Calibration.h"
#include "EmulatedLine.h"
#include "FlashOperation.h"
#include "RecordingPrompter.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tevra::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pattern(std::size_t length, unsigned seed) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 11 + seed) ^ (i >> 6));
    }
    return bytes;
}

struct Bench {
    explicit Bench(sim::SimFaults faults = {}) : sim(faults) {
        sim.loadImage(0x8000, eeprom);
        sim.powerOn();
        sim.run(20'000);
    }
    FlashResult run(FlashOperationKind op, FlashSize size = FlashSize::Size16K) {
        FlashSettings s;
        s.operation = op;
        s.size = size;
        sim.powerOn(); // every run bootloads a freshly powered controller
        sim.run(20'000);
        FlashOperation flash(line, line, prompter, progress);
        return flash.run(s, cal, last);
    }

    Bytes eeprom = pattern(0x8000, 1);
    sim::EcmSim sim;
    EmulatedLine line{sim};
    RecordingPrompter prompter;
    RecordingProgress progress;
    Calibration cal;
    LastFlashCopy last;
};

// Emulated time costs real time here, so these runs keep their images small;
// the full-size runs go through the pty tests.
TEST(EmulatedFlash, Reads16K) {
    Bench bench;
    const FlashResult r = bench.run(FlashOperationKind::Read);
    EXPECT_TRUE(r.succeeded(false)) << ::testing::PrintToString(bench.prompter.texts());
    EXPECT_EQ(bench.cal.baseAddress, 0xC000);
    EXPECT_EQ(bench.cal.image(), Bytes(bench.eeprom.begin() + 0x4000, bench.eeprom.end()));
}

TEST(EmulatedFlash, FullThenDifferentialWriteLeaveTheImageInMemory) {
    Bench bench;
    Bytes image = pattern(0x800, 9); // the top 2K, vectors included
    bench.cal.baseAddress = 0xF800;
    bench.cal.SetImage(image);
    FlashResult r = bench.run(FlashOperationKind::FullWrite);
    EXPECT_TRUE(r.succeeded(true)) << ::testing::PrintToString(bench.prompter.texts());
    EXPECT_EQ(bench.sim.eepromContents(0xF800, 0x800), image);
    EXPECT_EQ(bench.sim.eepromContents(0x8000, 0x7800),
              Bytes(bench.eeprom.begin(), bench.eeprom.begin() + 0x7800));

    image[0x0001] ^= 0x80;
    image[0x0722] = 0x00;
    bench.cal.SetImage(image);
    bench.prompter.messages.clear();
    r = bench.run(FlashOperationKind::DifferentialWrite);
    EXPECT_TRUE(r.succeeded(true)) << ::testing::PrintToString(bench.prompter.texts());
    EXPECT_EQ(bench.sim.eepromContents(0xF800, 0x800), image);
    EXPECT_EQ(bench.last, image);
}

TEST(EmulatedFlash, LockedEepromFailsTheVerify) {
    sim::SimFaults faults;
    faults.noSdp = true;
    Bench bench(faults);
    bench.cal.baseAddress = 0xC000;
    bench.cal.SetImage(pattern(0x100, 9));
    const FlashResult r = bench.run(FlashOperationKind::FullWrite);
    EXPECT_EQ(r.verify, VerifyOutcome::Mismatch);
    ASSERT_FALSE(bench.prompter.messages.empty());
    EXPECT_EQ(bench.prompter.messages.back().second, "Verify Error");
    EXPECT_EQ(bench.prompter.messages.back().first.rfind(
                  "Calibration DOES NOT match memory contents!\n Address = 0xC000", 0),
              0u);
    EXPECT_FALSE(bench.last.has_value());
}

TEST(EmulatedFlash, EchoingLineCannotConnect) {
    sim::SimFaults faults;
    faults.echoOnly = true;
    Bench bench(faults);
    bench.cal.baseAddress = 0xC000;
    bench.cal.SetImage(pattern(0x4000, 9));
    const FlashResult r = bench.run(FlashOperationKind::FullWrite);
    EXPECT_EQ(r.outcome, FlashOutcome::NoConnection);
    EXPECT_EQ(bench.prompter.texts(),
              (std::vector<std::string>{"Bad command ack, got 01", "Could not connect to ECM!"}));
}

// Every byte of memory holds what it held before or what the editor meant to
// write there, nothing else; and success is reported only when the image is
// all there.
void expectOnlyAskedBytes(const Bytes& before, const Bytes& after, int base, const Bytes& image,
                          const FlashResult& r) {
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const int address = 0x8000 + static_cast<int>(i);
        const bool inImage = address >= base && address < base + static_cast<int>(image.size());
        const bool asked = inImage && after[i] == image[static_cast<std::size_t>(address - base)];
        ASSERT_TRUE(after[i] == before[i] || asked)
            << std::hex << "at " << address << ": " << int{after[i]} << ", was " << int{before[i]};
    }
    if (r.succeeded(true)) {
        EXPECT_TRUE(std::equal(image.begin(), image.end(), after.begin() + (base - 0x8000)));
    }
}

// Lost and garbled bytes in both directions, at the probe, in a frame and in
// the data. The bytes the editor sends are counted from its probe: frame 1-4;
// a Full Write of C0F0-C16F then sends frame 5-8 and data 9-24 (C0F0-C0FF),
// frame 25-28 and data 29-92 (C100-C13F), ...; a Differential Write sends
// frame 5-8 and data 9 for its first changed byte.
TEST(EmulatedFlash, LineFaultsNeverProgramAByteNobodyAskedFor) {
    struct Case {
        const char* name;
        sim::SimFaults faults;
        FlashOperationKind op;
    };
    using Op = FlashOperationKind;
    const Case cases[] = {
        {"the probe's command is lost", {.dropReceived = 1}, Op::FullWrite},
        {"a write's count is lost", {.dropReceived = 6}, Op::FullWrite},
        {"a write's address low byte is lost", {.dropReceived = 8}, Op::FullWrite},
        {"a data byte is lost", {.dropReceived = 40}, Op::FullWrite},
        {"a write command is garbled", {.garbleReceived = 25}, Op::FullWrite},
        {"a data byte is garbled", {.garbleReceived = 12}, Op::FullWrite},
        {"a write's acknowledgement is lost", {.dropByte = 3}, Op::FullWrite},
        {"a write's acknowledgement is lost", {.dropByte = 3}, Op::DifferentialWrite},
        {"a write's address high byte is lost", {.dropReceived = 7}, Op::DifferentialWrite},
        {"a changed byte is lost", {.dropReceived = 9}, Op::DifferentialWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.faults);
        const int base = 0xC0F0;
        const Bytes before(bench.eeprom.begin() + (base - 0x8000),
                           bench.eeprom.begin() + (base - 0x8000 + 0x80));
        Bytes image = pattern(0x80, 5);
        if (c.op == Op::DifferentialWrite) {
            bench.last = before; // the last flash left memory as it is
            image = before;
            image[0x10] ^= 0xFF;
            image[0x11] ^= 0x01;
            image[0x7F] ^= 0x80;
        }
        bench.cal.baseAddress = base;
        bench.cal.SetImage(image);
        const FlashResult r = bench.run(c.op);
        expectOnlyAskedBytes(bench.eeprom, bench.sim.eepromContents(0x8000, 0x8000), base, image,
                             r);
    }
}

} // namespace
} // namespace tevra::test
