// The AT28C256-style EEPROM: software data protection, page loads with
// their byte-load window, the write cycle and DATA polling.
#include "ParallelEeprom.h"

#include <gtest/gtest.h>
#include <vector>

namespace tevra::sim::test {
namespace {

constexpr std::uint64_t kWindow = ParallelEeprom::kByteLoadWindowCycles;
constexpr std::uint64_t kCycle = ParallelEeprom::kWriteCycleCycles;

struct Write {
    std::uint64_t at; // E cycle
    std::uint16_t address;
    std::uint8_t value;
};

std::vector<Write> unlockedAt(std::uint64_t t, std::vector<Write> data) {
    std::vector<Write> w = {{t, 0xD555, 0xAA}, {t + 10, 0xAAAA, 0x55}, {t + 20, 0xD555, 0xA0}};
    for (Write& d : data)
        d.at += t + 30;
    w.insert(w.end(), data.begin(), data.end());
    return w;
}

struct ProtectionCase {
    const char* name;
    std::vector<Write> writes;
    bool unlockIgnored;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> expected; // after all cycles end
};

const ProtectionCase kProtection[] = {
    {"plain write stores nothing", {{0, 0xC000, 0x12}}, false, {{0xC000, 0xFF}}},
    {"unlocked page stores",
     unlockedAt(0, {{0, 0xC000, 0x11}, {50, 0xC001, 0x22}, {100, 0xC03F, 0x33}}),
     false,
     {{0xC000, 0x11}, {0xC001, 0x22}, {0xC03F, 0x33}, {0xC002, 0xFF}}},
    {"unlock sequence bytes are not stored",
     unlockedAt(0, {{0, 0xC000, 0x11}}),
     false,
     {{0xD555, 0xFF}, {0xAAAA, 0xFF}}},
    {"wrong second unlock address",
     {{0, 0xD555, 0xAA}, {10, 0xAAAB, 0x55}, {20, 0xD555, 0xA0}, {30, 0xC000, 0x11}},
     false,
     {{0xC000, 0xFF}}},
    {"write after the window is lost",
     unlockedAt(0, {{0, 0xC000, 0x11}, {kWindow + 1, 0xC001, 0x22}}),
     false,
     {{0xC000, 0x11}, {0xC001, 0xFF}}},
    {"write just inside the window counts",
     unlockedAt(0, {{0, 0xC000, 0x11}, {kWindow, 0xC001, 0x22}}),
     false,
     {{0xC000, 0x11}, {0xC001, 0x22}}},
    {"re-storing keeps the window open",
     unlockedAt(0,
                {{0, 0xC000, 0x11}, {200, 0xC000, 0x11}, {400, 0xC000, 0x11}, {600, 0xC001, 0x22}}),
     false,
     {{0xC000, 0x11}, {0xC001, 0x22}}},
    {"bytes of another page are ignored",
     unlockedAt(0, {{0, 0xC03F, 0x11}, {10, 0xC040, 0x22}}),
     false,
     {{0xC03F, 0x11}, {0xC040, 0xFF}}},
    {"broken protection never unlocks", unlockedAt(0, {{0, 0xC000, 0x11}}), true, {{0xC000, 0xFF}}},
    {"writes during the write cycle are ignored",
     [] {
         auto w = unlockedAt(0, {{0, 0xC000, 0x11}});
         auto again = unlockedAt(30 + kWindow + 100, {{0, 0xC001, 0x22}});
         w.insert(w.end(), again.begin(), again.end());
         return w;
     }(),
     false,
     {{0xC000, 0x11}, {0xC001, 0xFF}}},
};

TEST(EepromProtection, StoresOnlyUnlockedPageLoads) {
    for (const ProtectionCase& c : kProtection) {
        ParallelEeprom e;
        e.setUnlockIgnored(c.unlockIgnored);
        for (const Write& w : c.writes)
            e.write(w.address, w.value, w.at);
        e.advance(c.writes.back().at + kWindow + kCycle + 1);
        for (const auto& [address, value] : c.expected)
            EXPECT_EQ(e.read(address, c.writes.back().at + kWindow + kCycle + 2), value)
                << c.name << " at " << std::hex << address;
    }
}

TEST(EepromDataPolling, ShowsInvertedBit7AndToggleUntilTheCycleEnds) {
    ParallelEeprom e;
    e.poke(0xC005, 0x00);
    for (const Write& w : unlockedAt(0, {{0, 0xC005, 0xA5}}))
        e.write(w.address, w.value, w.at);
    const std::uint64_t lastWrite = 30;
    // Inside the byte-load window the old contents still read back.
    EXPECT_EQ(e.read(0xC005, lastWrite + kWindow), 0x00);
    const std::uint64_t cycleStart = lastWrite + kWindow;
    const std::uint8_t first = e.read(0xC005, cycleStart + 10);
    const std::uint8_t second = e.read(0xC005, cycleStart + 20);
    EXPECT_EQ(first & 0x80, 0x00) << "bit 7 is the complement of 0xA5's";
    EXPECT_NE(first & 0x40, second & 0x40) << "bit 6 toggles on every read";
    EXPECT_TRUE(e.busy(cycleStart + kCycle - 1));
    EXPECT_EQ(e.read(0xC005, cycleStart + kCycle), 0xA5);
    EXPECT_FALSE(e.busy(cycleStart + kCycle));
}

TEST(EepromDataPolling, UnprotectedWriteAttemptStillRunsAWriteCycle) {
    // The part starts its timers even when it refuses the data, so a
    // loader that forgot the unlock sees polling values and then old data.
    ParallelEeprom e;
    e.poke(0xC000, 0x00);
    e.write(0xC000, 0x80, 0);
    EXPECT_EQ(e.read(0xC000, 100) & 0x80, 0x00);
    EXPECT_EQ(e.read(0xC000, kCycle + 1), 0x00);
}

} // namespace
} // namespace tevra::sim::test
