// The controller as the editor meets it on the wire: the bootstrap's sync,
// download and echo, baud mismatches, and the line faults.
#include "EcmSim.h"
#include "SimTestPrograms.h"

#include <gtest/gtest.h>
#include <span>

namespace tevra::sim::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Bootloads the complement-echo program and leaves the host at 9600 baud.
void bootload(EcmSim& sim) {
    const Bytes download = complementEchoDownload();
    sim.feed(download, EcmSim::kBootstrapBaud);
    ASSERT_TRUE(sim.runUntilOutput(256, 3000 * kCyclesPerMs));
    ASSERT_EQ(sim.phase(), EcmSim::Phase::RunningLoader);
    sim.run(20 * kCyclesPerMs);
    sim.takeOutput();
    sim.setHostBaud(9600);
}

Bytes exchange(EcmSim& sim, const Bytes& sent, std::size_t expect) {
    sim.feed(sent, 9600);
    sim.runUntilOutput(expect, 100 * kCyclesPerMs);
    sim.run(10 * kCyclesPerMs); // anything extra would show too
    return sim.takeOutput();
}

TEST(Bootstrap, EchoesTheDownloadStoresItAndRunsIt) {
    EcmSim sim;
    const Bytes download = complementEchoDownload();
    sim.feed(download, EcmSim::kBootstrapBaud);
    ASSERT_TRUE(sim.runUntilOutput(256, 3000 * kCyclesPerMs));
    const Bytes echo = sim.takeOutput();
    EXPECT_EQ(echo, Bytes(download.begin() + 1, download.end())) << "the sync byte is not echoed";
    EXPECT_EQ(sim.phase(), EcmSim::Phase::RunningLoader);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(sim.bus().ram()[static_cast<std::size_t>(i)],
                  download[static_cast<std::size_t>(i) + 1]);
    // 257 characters of 10 bits at 1200 baud take about 2.14 s on the wire.
    EXPECT_GT(sim.cycles(), 2140 * kCyclesPerMs);
    EXPECT_LT(sim.cycles(), 2200 * kCyclesPerMs);

    sim.run(20 * kCyclesPerMs);
    sim.setHostBaud(9600);
    EXPECT_EQ(exchange(sim, {0x01, 0x51}, 2), (Bytes{0xFE, 0xAE}));
}

TEST(Bootstrap, WaitsForTheSyncByteAtTwelveHundredBaud) {
    EcmSim sim;
    // 0xFF at 9600 is a short pulse to a 1200-baud receiver: no sync.
    sim.feedByte(0xFF, 9600);
    sim.run(20 * kCyclesPerMs);
    // Other bytes at 1200 are not the sync byte either.
    sim.feedByte(0x55, 1200);
    sim.run(20 * kCyclesPerMs);
    EXPECT_EQ(sim.phase(), EcmSim::Phase::WaitingForSync);
    EXPECT_TRUE(sim.takeOutput().empty());

    bootload(sim);
    EXPECT_EQ(exchange(sim, {0x0F}, 1), (Bytes{0xF0}));
}

TEST(Bootstrap, InterruptsGoThroughTheBootRomJumpTable) {
    // An interrupt-driven program: the SCI receive interrupt reaches it through
    // the boot ROM's vector and the JMP it puts into the pseudo-vector at 0x00C4;
    // between bytes the CPU sleeps in WAI.
    const Assembled a = assemble("start:  ldx #0x1000\n"
                                 "wtc:    brclr 0x2e,x #0x40 wtc\n"
                                 "        ldaa #0x30\n"
                                 "        staa 0x2b,x\n"
                                 "        ldaa #0x7E\n"
                                 "        staa 0xC4\n"
                                 "        ldd #isr\n"
                                 "        std 0xC5\n"
                                 "        ldaa #0x2C\n" // TE | RE | RIE
                                 "        staa 0x2d,x\n"
                                 "        cli\n"
                                 "loop:   wai\n"
                                 "        bra loop\n"
                                 "isr:    ldaa 0x2e,x\n"
                                 "        ldaa 0x2f,x\n"
                                 "        adda #1\n"
                                 "tx:     brclr 0x2e,x #0x80 tx\n"
                                 "        staa 0x2f,x\n"
                                 "        rti\n",
                                 0x0000);
    ASSERT_EQ(a.error, "");
    Bytes download(257, 0x01);
    download[0] = 0xFF;
    std::copy(a.bytes.begin(), a.bytes.end(), download.begin() + 1);
    EcmSim sim;
    sim.feed(download, EcmSim::kBootstrapBaud);
    ASSERT_TRUE(sim.runUntilOutput(256, 3000 * kCyclesPerMs));
    sim.run(20 * kCyclesPerMs);
    sim.takeOutput();
    sim.setHostBaud(9600);
    EXPECT_EQ(exchange(sim, {0x41, 0x7F}, 2), (Bytes{0x42, 0x80}));
    EXPECT_EQ(sim.cpu().state(), Cpu6811::State::Waiting);
}

TEST(Bootstrap, HostAtTheWrongBaudGetsGarbage) {
    EcmSim sim;
    bootload(sim);
    sim.setHostBaud(1200); // the editor forgot to switch to 9600
    const Bytes got = exchange(sim, {0x01}, 1);
    EXPECT_NE(got, (Bytes{0xFE}));
    // And a command sent at 1200 never reaches the 9600-baud program intact.
    sim.setHostBaud(9600);
    sim.feedByte(0x01, 1200);
    sim.run(50 * kCyclesPerMs);
    EXPECT_NE(sim.takeOutput(), (Bytes{0xFE}));
}

TEST(Bootstrap, PowerCycleStartsOverFromTheSync) {
    EcmSim sim;
    bootload(sim);
    sim.powerCycle();
    EXPECT_EQ(sim.phase(), EcmSim::Phase::WaitingForSync);
    sim.setHostBaud(1200);
    bootload(sim);
    EXPECT_EQ(exchange(sim, {0x00}, 1), (Bytes{0xFF}));
}

struct FaultCase {
    const char* name;
    SimFaults faults;
    Bytes sent;
    Bytes expected;
};

TEST(LineFaults, ShapeWhatTheHostReceives) {
    const FaultCase cases[] = {
        {"none", {}, {0x01, 0x02, 0x03}, {0xFE, 0xFD, 0xFC}},
        {"drop the second", {.dropByte = 2}, {0x01, 0x02, 0x03}, {0xFE, 0xFC}},
        {"stall after one", {.stallAfter = 1}, {0x01, 0x02, 0x03}, {0xFE}},
        {"hang up after two", {.hangupAfter = 2}, {0x01, 0x02, 0x03}, {0xFE, 0xFD}},
    };
    for (const FaultCase& c : cases) {
        EcmSim sim(c.faults);
        bootload(sim);
        Bytes got;
        for (std::uint8_t b : c.sent) {
            const Bytes one = exchange(sim, {b}, 1);
            got.insert(got.end(), one.begin(), one.end());
        }
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(sim.hangupRequested(), c.faults.hangupAfter.has_value()) << c.name;
    }
}

TEST(LineFaults, EchoLineReturnsEveryByteWithoutAController) {
    EcmSim sim({.echoOnly = true});
    sim.setHostBaud(9600);
    sim.feed(Bytes{0x01, 0x51, 0xC0, 0x00}, 9600);
    sim.run(10 * kCyclesPerMs);
    EXPECT_EQ(sim.takeOutput(), (Bytes{0x01, 0x51, 0xC0, 0x00}));
}

} // namespace
} // namespace tevra::sim::test
