// The editor's bootloader, as committed, on the emulated controller: a read
// and a page write through the emulated SCI, and the memory faults.
#include "EcmSim.h"
#include "SimTestPrograms.h"
#include "loader/LoaderImage.h"

#include <gtest/gtest.h>

namespace tevra::sim::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pattern16k() {
    Bytes b(0x4000);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    return b;
}

class LoaderOnSim {
public:
    explicit LoaderOnSim(SimFaults faults = {}) : sim(faults) {
        sim.loadImage(0xC000, image);
        sim.feed(tevra::kBootloaderImage, EcmSim::kBootstrapBaud);
        sim.runUntilOutput(256, 3000 * kCyclesPerMs);
        sim.run(100 * kCyclesPerMs); // the editor closes, waits and reopens
        sim.takeOutput();
        sim.setHostBaud(9600);
    }

    // A frame as the editor sends it: 5 ms before each byte and after the last.
    Bytes command(std::uint8_t code, std::uint8_t count, std::uint16_t address,
                  std::size_t answer) {
        for (std::uint8_t b : {code, count, static_cast<std::uint8_t>(address >> 8),
                               static_cast<std::uint8_t>(address)}) {
            sim.run(5 * kCyclesPerMs);
            sim.feedByte(b, 9600);
        }
        sim.run(5 * kCyclesPerMs);
        sim.runUntilOutput(answer, 500 * kCyclesPerMs);
        return sim.takeOutput();
    }

    Bytes read(std::uint16_t address, std::uint8_t count) {
        Bytes got = command(0x01, count, address, 1u + count);
        EXPECT_FALSE(got.empty());
        EXPECT_EQ(got.empty() ? 0 : got.front(), 0xFE);
        return got.empty() ? got : Bytes(got.begin() + 1, got.end());
    }

    void writePage(std::uint16_t address, const Bytes& data) {
        EXPECT_EQ(command(0x51, static_cast<std::uint8_t>(data.size()), address, 1), Bytes{0xAE});
        sim.feed(data, 9600); // flash speed 100: the whole block in one write
        sim.run(static_cast<std::uint64_t>(data.size()) * 2100 + 50 * kCyclesPerMs);
    }

    Bytes image = pattern16k();
    EcmSim sim;
};

TEST(Loader, ProbeReadsItsOwnFirstByte) {
    LoaderOnSim rig;
    EXPECT_EQ(rig.read(0x0000, 1), Bytes{tevra::kBootloaderImage[1]});
}

TEST(Loader, ReadsTheCalibration) {
    LoaderOnSim rig;
    EXPECT_EQ(rig.read(0xC000, 255), Bytes(rig.image.begin(), rig.image.begin() + 255));
    EXPECT_EQ(rig.read(0xFFC0, 64), Bytes(rig.image.end() - 64, rig.image.end()));
}

TEST(Loader, PageWriteProgramsTheEeprom) {
    LoaderOnSim rig;
    Bytes page(64);
    for (std::size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<std::uint8_t>(0xA0 + i);
    rig.writePage(0xC040, page);
    EXPECT_EQ(rig.sim.eepromContents(0xC040, 64), page);
    EXPECT_EQ(rig.read(0xC040, 64), page);
    EXPECT_EQ(rig.read(0xC000, 64), Bytes(rig.image.begin(), rig.image.begin() + 64))
        << "the page before is untouched";
    EXPECT_EQ(rig.sim.eeprom().pagesProgrammed(), 1u);
}

TEST(Loader, SingleByteWriteAsDifferentialWriteSendsIt) {
    LoaderOnSim rig;
    rig.writePage(0xD123, {0x5A});
    EXPECT_EQ(rig.read(0xD122, 3), (Bytes{rig.image[0x1122], 0x5A, rig.image[0x1124]}));
}

TEST(Loader, CorruptAddressReadsBackWrong) {
    LoaderOnSim rig({.corruptAddress = 0xC003});
    const Bytes got = rig.read(0xC000, 8);
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got[3], rig.image[3] ^ 0x01);
    EXPECT_EQ(got[4], rig.image[4]);
}

TEST(Loader, WithoutDataProtectionUnlockTheWriteFails) {
    LoaderOnSim rig({.noSdp = true});
    Bytes page(64, 0x00);
    rig.writePage(0xC000, page);
    EXPECT_EQ(rig.sim.eepromContents(0xC000, 64), Bytes(rig.image.begin(), rig.image.begin() + 64));
}

} // namespace
} // namespace tevra::sim::test
