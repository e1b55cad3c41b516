#include "FlashProtocol.h"

#include "FakeClock.h"
#include "RecordingPrompter.h"
#include "ScriptedEcm.h"
#include "loader/LoaderImage.h"

#include <gtest/gtest.h>
#include <numeric>

namespace tevra::test {
namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

// A controller with the loader already running at 9600 baud.
struct Line {
    FakeClock clock;
    ScriptedEcm ecm{clock};
    RecordingPrompter prompter;
    RecordingProgress progress;
    FlashProtocol protocol{ecm, clock, prompter, progress};

    Line() {
        ecm.setBaudRate(1200);
        ecm.Open();
        ecm.Send(kBootloaderImage.data(), kBootloaderImage.size());
        ecm.setBaudRate(9600);
        ecm.Open();
        ecm.sendLengths.clear();
    }
};

TEST(FlashProtocol, ReadBlockSendsFrameWithPausesAndReturnsData) {
    Line line;
    for (int i = 0; i < 255; ++i) {
        line.ecm.memory[static_cast<std::size_t>(0xC123 + i)] = static_cast<std::uint8_t>(i);
    }
    std::vector<std::uint8_t> got(255);
    ASSERT_TRUE(line.protocol.ReadBlock(0xC123, 255, got.data()));
    ASSERT_EQ(line.ecm.commands.size(), 1u);
    EXPECT_EQ(line.ecm.commands[0].code, 0x01);
    EXPECT_EQ(line.ecm.commands[0].count, 255);
    EXPECT_EQ(line.ecm.commands[0].address, 0xC123);
    EXPECT_EQ(line.clock.sleeps, (std::vector<int>{5, 5, 5, 5, 5}));
    for (int i = 0; i < 255; ++i) {
        ASSERT_EQ(got[static_cast<std::size_t>(i)], i);
    }
    EXPECT_TRUE(line.prompter.messages.empty());
}

TEST(FlashProtocol, OutOfRangeBlocksSendNothing) {
    Line line;
    std::vector<std::uint8_t> buffer(256);
    EXPECT_FALSE(line.protocol.ReadBlock(0xC000, 256, buffer.data()));
    EXPECT_FALSE(line.protocol.WriteBlock(0xC000, 65, buffer.data()));
    EXPECT_FALSE(line.protocol.WriteBlock(0xC03F, 2, buffer.data())); // across a page end
    EXPECT_TRUE(line.protocol.WriteBlock(0xC000, 0, buffer.data()));
    EXPECT_TRUE(line.ecm.commands.empty());
    EXPECT_TRUE(line.ecm.sendLengths.empty());
    EXPECT_TRUE(line.prompter.messages.empty());
}

TEST(FlashProtocol, AnswerFaultsReportTheirOwnMessage) {
    struct Case {
        const char* name;
        bool write;
        void (*fault)(ScriptedEcm&);
        Messages expected;
    };
    const Case cases[] = {
        {"read, no answer",
         false,
         [](ScriptedEcm& e) { e.deaf = true; },
         {{"Timed out waiting for Ack", "Ack error"}}},
        {"read, echo",
         false,
         [](ScriptedEcm& e) { e.echo = true; },
         {{"Bad command ack, got 01", "Ack Error"}}},
        {"write, no answer",
         true,
         [](ScriptedEcm& e) { e.deaf = true; },
         {{"Timed out waiting for Ack!", "Write Error"}}},
        {"write, echo",
         true,
         [](ScriptedEcm& e) { e.echo = true; },
         {{"Bad command Ack!", "Write Error"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Line line;
        c.fault(line.ecm);
        std::vector<std::uint8_t> buffer(16, 0x5A);
        const bool ok = c.write ? line.protocol.WriteBlock(0xC000, 16, buffer.data())
                                : line.protocol.ReadBlock(0xC000, 16, buffer.data());
        EXPECT_FALSE(ok);
        EXPECT_EQ(line.prompter.messages, c.expected);
        if (c.write) {
            // No data follows a refused frame: only the four frame bytes went out.
            EXPECT_EQ(line.ecm.sendLengths.size(), 4u);
        }
    }
}

TEST(FlashProtocol, ReadStallIsRetriedTwiceAfterProbesThenTimesOut) {
    Line line;
    line.ecm.readLimit = [](const ScriptedEcm::Command& c) {
        return c.address == 0xC0FF ? 10 : c.count;
    };
    std::vector<std::uint8_t> buffer(255);
    const auto start = line.clock.now;
    EXPECT_FALSE(line.protocol.ReadBlock(0xC0FF, 255, buffer.data()));

    std::vector<int> addresses;
    for (const auto& c : line.ecm.commands) {
        addresses.push_back(c.address);
    }
    EXPECT_EQ(addresses, (std::vector<int>{0xC0FF, 0x0000, 0xC0FF, 0x0000, 0xC0FF, 0x0000}));
    EXPECT_EQ(line.prompter.messages,
              (Messages{{"Timed out waiting for data at C0FF", "Timeout Error"}}));
    // Three stalls of 5 s each, measured on the injected clock.
    EXPECT_GE(line.clock.now - start, 3 * 5000);
}

TEST(FlashProtocol, ReadStallRecoversOnRetry) {
    Line line;
    int stalls = 1;
    line.ecm.readLimit = [&](const ScriptedEcm::Command& c) {
        return (c.address == 0xC000 && stalls-- > 0) ? 3 : c.count;
    };
    line.ecm.memory[0xC004] = 0x42;
    std::vector<std::uint8_t> buffer(8);
    EXPECT_TRUE(line.protocol.ReadBlock(0xC000, 8, buffer.data()));
    EXPECT_EQ(buffer[4], 0x42);
    EXPECT_EQ(line.ecm.commands.size(), 3u); // stalled read, probe, read
    EXPECT_TRUE(line.prompter.messages.empty());
}

TEST(FlashProtocol, ProbeInsideRetryIsNotRetriedItself) {
    Line line;
    line.ecm.readLimit = [](const ScriptedEcm::Command&) { return 0; };
    std::vector<std::uint8_t> buffer(4);
    EXPECT_FALSE(line.protocol.ReadBlock(0xC000, 4, buffer.data()));
    EXPECT_EQ(line.ecm.commands.size(), 2u); // the read and one probe, no nesting
    EXPECT_EQ(line.prompter.messages,
              (Messages{{"Timed out waiting for data at 0", "Timeout Error"},
                        {"Timed out waiting for data at C000", "Timeout Error"}}));
}

TEST(FlashProtocol, ProbeComparesTheLoadersFirstByte) {
    Line line;
    EXPECT_TRUE(line.protocol.ProbeLoader());
    line.ecm.memory[0] ^= 0xFF;
    EXPECT_FALSE(line.protocol.ProbeLoader());
    EXPECT_TRUE(line.prompter.messages.empty());
}

TEST(FlashProtocol, FlashSpeedPacesWritesAndReads) {
    struct Case {
        int speed;
        std::size_t dataSends; // Send calls carrying the 64 data bytes
        int bytePause;
        int readPause;
    };
    const Case cases[] = {{100, 1, 0, 50}, {95, 64, 2, 60}, {0, 64, 20, 250}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        Line line;
        line.protocol.setFlashSpeed(c.speed);
        std::vector<std::uint8_t> block(64);
        std::iota(block.begin(), block.end(), std::uint8_t{1});
        ASSERT_TRUE(line.protocol.WriteBlock(0xC000, 64, block.data()));
        EXPECT_EQ(line.ecm.sendLengths.size(), 4 + c.dataSends);
        EXPECT_EQ(line.ecm.sendLengths.back(), c.dataSends == 1 ? 64u : 1u);
        std::vector<int> expected(5, 5); // around the frame bytes
        if (c.bytePause > 0) {
            expected.insert(expected.end(), 64, c.bytePause);
        }
        expected.push_back(50); // programming settle
        EXPECT_EQ(line.clock.sleeps, expected);
        EXPECT_EQ(line.ecm.memory[0xC03F], 64);

        line.clock.sleeps.clear();
        std::vector<std::uint8_t> image(255);
        ASSERT_TRUE(line.protocol.ReadImage(0xC000, 255, image.data()));
        const int slept = std::accumulate(line.clock.sleeps.begin(), line.clock.sleeps.end(), 0);
        EXPECT_EQ(slept - 5 * 5, c.readPause); // the frame's pauses, then the block pause
    }
}

TEST(FlashProtocol, WriteChangedSendsOneCommandPerChangedByte) {
    Line line;
    std::vector<std::uint8_t> previous(300, 0x11);
    std::vector<std::uint8_t> now = previous;
    now[7] = 0x22;
    now[8] = 0x23; // neighbours are not merged
    now[299] = 0x24;
    ASSERT_TRUE(line.protocol.WriteChanged(0xC000, 300, now.data(), previous.data()));
    std::vector<int> addresses;
    for (const auto& c : line.ecm.commandsWith(0x51)) {
        EXPECT_EQ(c.count, 1);
        addresses.push_back(c.address);
    }
    EXPECT_EQ(addresses, (std::vector<int>{0xC007, 0xC008, 0xC12B}));
    EXPECT_EQ(line.progress.statuses.back(), "Writing C12B...");
    EXPECT_EQ(line.ecm.memory[0xC008], 0x23);
}

TEST(FlashProtocol, StopFlagEndsWaitsWithoutMessages) {
    FakeClock clock;
    ScriptedEcm ecm{clock};
    RecordingPrompter prompter;
    RecordingProgress progress;
    std::atomic<bool> stop{false};
    FlashProtocol protocol{ecm, clock, prompter, progress, &stop};
    ecm.Open(); // nothing bootloaded: every command would wait 5 s
    stop = true;
    std::vector<std::uint8_t> buffer(4);
    const auto start = clock.now;
    EXPECT_FALSE(protocol.ReadBlock(0xC000, 4, buffer.data()));
    EXPECT_FALSE(protocol.ReadImage(0xC000, 4, buffer.data()));
    EXPECT_LT(clock.now - start, 1000);
    EXPECT_TRUE(prompter.messages.empty());
}

} // namespace
} // namespace tevra::test
