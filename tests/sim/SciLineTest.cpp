// The SCI on a serial line: baud rates from the BAUD register, what a
// receiver at the wrong rate makes of a byte, overrun, and the flag
// sequences that move bytes in and out.
#include "Sci.h"
#include "SerialLine.h"

#include <gtest/gtest.h>

namespace tevra::sim::test {
namespace {

struct SciRig {
    SerialLine fromHost;
    SerialLine toHost;
    Sci sci{fromHost, toHost};
    std::uint64_t now = 0;

    explicit SciRig(std::uint8_t baudRegister) {
        sci.reset();
        sci.write(Sci::kBaud, baudRegister, now);
        sci.write(Sci::kSccr2, 0x0C, now); // TE | RE
        wait(5000);                        // the transmitter's idle preamble
    }
    void hostSends(std::uint8_t byte, int baud) {
        fromHost.send(now * kPicosPerCycle, byte, 8, bitTimeForBaud(baud));
    }
    void wait(std::uint64_t cycles) {
        now += cycles;
        sci.advance(now);
    }
    std::uint8_t status() { return sci.read(Sci::kScsr, now); }
    std::uint8_t data() { return sci.read(Sci::kScdr, now); }
};

TEST(SciBaud, RegisterSelectsTheRate) {
    struct Case {
        std::uint8_t reg;
        int baud;
    };
    for (const Case c : {Case{0x33, 1201}, Case{0x30, 9615}, Case{0x31, 4807}, Case{0x00, 125000},
                         Case{0x22, 7812}}) {
        SciRig rig(c.reg);
        EXPECT_EQ(rig.sci.baudRate(), c.baud) << std::hex << int(c.reg);
    }
}

struct MismatchCase {
    std::uint8_t baudRegister;
    int hostBaud;
    std::uint8_t byte;
    bool arrivesIntact;
};

const MismatchCase kMismatch[] = {
    {0x33, 1200, 0x55, true},   {0x33, 1200, 0xFF, true},  {0x30, 9600, 0xA5, true},
    {0x30, 9600, 0x00, true},   {0x31, 4800, 0x3C, true},  {0x33, 9600, 0xFF, false},
    {0x33, 9600, 0x01, false},  {0x30, 1200, 0x01, false}, {0x30, 1200, 0xFE, false},
    {0x30, 19200, 0x55, false}, {0x30, 4800, 0x0F, false},
};

TEST(SciReceiver, ByteAtTheWrongBaudArrivesBrokenOrNotAtAll) {
    for (const MismatchCase& c : kMismatch) {
        SciRig rig(c.baudRegister);
        rig.hostSends(c.byte, c.hostBaud);
        rig.wait(2 * 2000000 / 1200 * 10); // two 1200-baud characters
        const std::uint8_t status = rig.status();
        const bool received = (status & Sci::kRdrf) != 0;
        const bool intact = received && !(status & Sci::kFe) && rig.data() == c.byte;
        EXPECT_EQ(intact, c.arrivesIntact)
            << "byte " << std::hex << int(c.byte) << " sent at " << std::dec << c.hostBaud
            << " into BAUD " << std::hex << int(c.baudRegister) << ", SCSR " << int(status);
    }
}

TEST(SciReceiver, SlowByteIntoFastReceiverIsAFramingError) {
    SciRig rig(0x30);
    rig.hostSends(0x00, 1200); // nine bit cells of space: no stop bit where 9600 expects it
    rig.wait(20000);
    EXPECT_TRUE(rig.status() & Sci::kFe);
    rig.data();
    EXPECT_FALSE(rig.status() & Sci::kFe) << "SCSR then SCDR clears FE";
}

TEST(SciReceiver, SecondByteBeforeTheFirstIsReadIsAnOverrun) {
    SciRig rig(0x30);
    rig.hostSends(0x11, 9600);
    rig.hostSends(0x22, 9600);
    rig.wait(5000);
    const std::uint8_t status = rig.status();
    EXPECT_TRUE(status & Sci::kRdrf);
    EXPECT_TRUE(status & Sci::kOr);
    EXPECT_EQ(rig.data(), 0x11) << "the byte that was there stays";
    EXPECT_FALSE(rig.status() & (Sci::kRdrf | Sci::kOr));
}

TEST(SciTransmitter, SendsOnlyAfterTheStatusRead) {
    SciRig rig(0x30);
    rig.sci.write(Sci::kScdr, 0x42, rig.now); // no SCSR read first
    rig.wait(5000);
    EXPECT_FALSE(rig.toHost.hasFramesAfter(0));

    ASSERT_TRUE(rig.status() & Sci::kTdre);
    rig.sci.write(Sci::kScdr, 0x42, rig.now);
    EXPECT_TRUE(rig.toHost.hasFramesAfter(rig.now * kPicosPerCycle));
}

TEST(SciTransmitter, CompletesAfterTenBitTimesPerByte) {
    SciRig rig(0x30); // 208 cycles per bit
    rig.status();
    rig.sci.write(Sci::kScdr, 0x01, rig.now);
    EXPECT_TRUE(rig.status() & Sci::kTdre) << "moved to the shift register at once";
    rig.sci.write(Sci::kScdr, 0x02, rig.now);
    EXPECT_FALSE(rig.status() & Sci::kTdre);
    rig.wait(2 * 2080 - 1);
    EXPECT_FALSE(rig.status() & Sci::kTc);
    rig.wait(1);
    EXPECT_TRUE(rig.status() & Sci::kTc);
}

} // namespace
} // namespace tevra::sim::test
