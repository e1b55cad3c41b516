// The committed loader bytes, bootloaded into the emulated 68HC11 in-process
// and driven at the wire level: what the editor relies on, byte by byte.
#include "EcmSim.h"
#include "loader/LoaderImage.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <memory>

namespace tevra::test {
namespace {

using tevra::sim::EcmSim;
using Bytes = std::vector<std::uint8_t>;

constexpr int kBaud = 9600;
constexpr std::uint64_t kMs = 2000; // E cycles per millisecond at 2 MHz
// The least pause the editor leaves between two frames: the 50 ms settle
// after a write and the 5 ms before a frame's first byte.
constexpr int kFramePauseMs = 55;
constexpr std::uint64_t kCharacterCycles = 2084; // ten bits at 9600 baud
// More than the quiet line (0.62 s) the loader waits for after it abandoned a frame.
constexpr int kQuietMs = 700;

Bytes eepromPattern() {
    Bytes bytes(0x8000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 5 + (i >> 8));
    }
    return bytes;
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override {
        sim = std::make_unique<EcmSim>(faults);
        sim->loadImage(0x8000, eepromPattern());
        sim->powerOn();
        sim->run(10 * kMs); // the ROM sets up its SCI; the user powers on before clicking OK
        sim->feed(kBootloaderImage, EcmSim::kBootstrapBaud);
        sim->run(2300 * kMs); // 257 characters at 1200 baud, then the jump
        ASSERT_EQ(sim->phase(), EcmSim::Phase::RunningLoader);
        sim->setHostBaud(kBaud);
        sim->run(20 * kMs);
        sim->takeOutput(); // the bootstrap's echo
    }

    // Sends a frame and returns everything the loader answers within `waitMs`.
    Bytes command(std::uint8_t code, int count, int address, std::size_t expect, int waitMs = 500) {
        const std::uint8_t frame[4] = {code, static_cast<std::uint8_t>(count),
                                       static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address)};
        sim->feed(frame, kBaud);
        sim->runUntilOutput(expect, static_cast<std::uint64_t>(waitMs) * kMs);
        sim->run(5 * kMs);
        return sim->takeOutput();
    }

    sim::SimFaults faults;
    std::unique_ptr<EcmSim> sim;
};

// An EEPROM that never unlocks: writes start a write cycle but store nothing.
class LockedEepromLoader : public Loader {
protected:
    LockedEepromLoader() { faults.noSdp = true; }
};

TEST_F(Loader, ReadSendsTheAcknowledgementThenTheBytes) {
    const Bytes eeprom = eepromPattern();
    struct Case {
        int address;
        int count;
    };
    // C000: a 16K image's first block; BF40: where the boot ROM sat, now external memory.
    for (const Case c : {Case{0xC000, 255}, Case{0xBF40, 192}, Case{0xFFC0, 64}, Case{0x8000, 1}}) {
        SCOPED_TRACE(c.address);
        const Bytes got = command(0x01, c.count, c.address, 1 + static_cast<std::size_t>(c.count));
        ASSERT_EQ(got.size(), 1u + static_cast<std::size_t>(c.count));
        EXPECT_EQ(got[0], 0xFE);
        EXPECT_EQ(Bytes(got.begin() + 1, got.end()),
                  Bytes(eeprom.begin() + (c.address - 0x8000),
                        eeprom.begin() + (c.address - 0x8000 + c.count)));
    }
    // The probe: address 0 holds the loader's first byte.
    EXPECT_EQ(command(0x01, 1, 0x0000, 2), (Bytes{0xFE, kBootloaderImage[1]}));
}

TEST_F(Loader, PageWriteProgramsFastAndSlowBytes) {
    for (int gapMs : {0, 2, 20}) {
        SCOPED_TRACE(gapMs);
        const int address = 0xC000 + 64 * gapMs;
        Bytes data(64);
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 3 + static_cast<std::size_t>(gapMs)));
        }
        EXPECT_EQ(command(0x51, 64, address, 1), Bytes{0xAE});
        for (std::uint8_t b : data) {
            sim->feedByte(b, kBaud);
            sim->run(static_cast<std::uint64_t>(gapMs) * kMs + 1100 * 2); // one character
        }
        sim->run(50 * kMs);                     // the editor's settle pause
        EXPECT_TRUE(sim->takeOutput().empty()); // nothing after the data
        EXPECT_EQ(sim->eepromContents(static_cast<std::uint16_t>(address), 64), data);
    }
    // Still in step: a read right after answers normally.
    EXPECT_EQ(command(0x01, 1, 0xC000, 2).at(0), 0xFE);
}

TEST_F(Loader, OtherCommandsAreAcknowledgedAndConsumed) {
    EXPECT_EQ(command(0x33, 0x01, 0xC000, 1), Bytes{0xCC});
    EXPECT_EQ(command(0x00, 0xFF, 0xFFFF, 1), Bytes{0xFF});
    EXPECT_EQ(sim->eepromContents(0xC000, 1), Bytes{eepromPattern()[0x4000]});
    const Bytes got = command(0x01, 2, 0xC000, 3);
    EXPECT_EQ(got, (Bytes{0xFE, eepromPattern()[0x4000], eepromPattern()[0x4001]}));
}

TEST_F(Loader, ReceiveErrorRestartsItCleanly) {
    // A character at a quarter of the rate breaks the frame: framing error.
    sim->feedByte(0x00, 2400);
    sim->run(kQuietMs * kMs);
    sim->takeOutput();
    const Bytes got = command(0x01, 1, 0xC001, 2);
    EXPECT_EQ(got, (Bytes{0xFE, eepromPattern()[0x4001]}));
}

// Frames that a lost or garbled byte leaves incomplete, and writes outside one
// page of the EEPROM window: none of them programs anything, and the loader
// takes the editor's next frame as a command again.
TEST_F(Loader, IncompleteOrMisplacedWritesProgramNothing) {
    struct Case {
        const char* name;
        int count;
        int address;
        int dataBytes;   // how many of them arrive
        bool garbleLast; // the last one arrives with a framing error
    };
    const Case cases[] = {
        {"a write frame whose data never comes", 1, 0xC100, 0, false},
        {"a write that falls silent half-way", 4, 0xC100, 3, false},
        {"a data byte with a framing error", 4, 0xC100, 4, true},
        {"internal RAM, where the loader runs", 4, 0x0050, 4, false},
        {"the register block (HPRIO)", 1, 0x103C, 1, false},
        {"a block across a page boundary", 4, 0xC13E, 4, false},
        {"more than a page", 65, 0xC000, 65, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<std::uint8_t, 256> ramBefore = sim->bus().ram();
        EXPECT_EQ(command(0x51, c.count, c.address, 1), Bytes{0xAE});
        for (int i = 0; i < c.dataBytes; ++i) {
            const bool garble = c.garbleLast && i == c.dataBytes - 1;
            sim->feedByte(garble ? 0x00 : static_cast<std::uint8_t>(0x5A + i),
                          garble ? 2400 : kBaud);
        }
        // The bytes on the wire, the editor's settle pause, then its next
        // frame: whether the loader still discards it or answers it, none of
        // its bytes is programmed.
        sim->run(static_cast<std::uint64_t>(c.dataBytes) * kCharacterCycles + kFramePauseMs * kMs);
        command(0x01, 2, 0xC100, 3);
        EXPECT_EQ(sim->eepromContents(0x8000, 0x8000), eepromPattern());
        EXPECT_TRUE(std::equal(ramBefore.begin() + 0x41, ramBefore.begin() + 0xF7,
                               sim->bus().ram().begin() + 0x41))
            << "the loader's code changed";
        // Once the line has been quiet, it takes commands again.
        sim->run(kQuietMs * kMs);
        const Bytes got = command(0x01, 2, 0xC100, 3);
        EXPECT_EQ(got, (Bytes{0xFE, eepromPattern()[0x4100], eepromPattern()[0x4101]}));
    }
}

// An editor that stalls between a write frame and its data makes the loader
// abandon the frame; the data arriving late are discarded, never read as
// frames, even when they look like a page write of their own.
TEST_F(Loader, LateDataOfAStalledWriteAreNeverTakenForCommands) {
    EXPECT_EQ(command(0x51, 16, 0xC100, 1), Bytes{0xAE});
    sim->run(100 * kMs);
    const Bytes data = {0x51, 0x04, 0xC2, 0x00, 0x11, 0x22, 0x33, 0x44,
                        0x51, 0x04, 0xC2, 0x40, 0x11, 0x22, 0x33, 0x44};
    sim->feed(data, kBaud);
    sim->run(data.size() * kCharacterCycles + kFramePauseMs * kMs);
    EXPECT_EQ(sim->eepromContents(0x8000, 0x8000), eepromPattern());
}

} // namespace
} // namespace tevra::test

namespace tevra::test {
namespace {

// DATA polling never sees its bit 7 here; the loader must still come back.
TEST_F(LockedEepromLoader, WriteThatNeverProgramsStillReturnsToCommands) {
    const Bytes before = sim->eepromContents(0xC000, 64);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(command(0x51, 64, 0xC000, 1), Bytes{0xAE});
        for (int i = 0; i < 64; ++i) {
            sim->feedByte(static_cast<std::uint8_t>(~before[static_cast<std::size_t>(i)]), kBaud);
        }
        sim->run(120 * kMs); // the bytes, then the editor's settle pause
    }
    EXPECT_EQ(sim->eepromContents(0xC000, 64), before);
    EXPECT_EQ(command(0x01, 1, 0xC000, 2), (Bytes{0xFE, before[0]}));
}

} // namespace
} // namespace tevra::test
