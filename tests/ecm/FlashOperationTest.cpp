#include "FlashOperation.h"

#include "Calibration.h"
#include "FakeClock.h"
#include "RecordingPrompter.h"
#include "ScriptedEcm.h"

#include <gtest/gtest.h>

namespace tevra::test {
namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

std::vector<std::uint8_t> pattern(int length, int seed = 3) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7 + seed) ^ (i >> 8));
    }
    return bytes;
}

struct Rig {
    FakeClock clock;
    ScriptedEcm ecm{clock};
    RecordingPrompter prompter;
    RecordingProgress progress;
    Calibration cal;
    LastFlashCopy last;
    std::atomic<bool> stop{false};

    void load(int base, std::vector<std::uint8_t> image) {
        cal.baseAddress = base;
        cal.SetImage(std::move(image));
    }
    void putInController(int base, const std::vector<std::uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), ecm.memory.begin() + base);
    }
    FlashResult run(FlashOperationKind op, bool verify = true, int speed = 100) {
        FlashSettings s;
        s.operation = op;
        s.verify = verify;
        s.flashSpeed = speed;
        return run(s);
    }
    FlashResult run(const FlashSettings& s) {
        FlashOperation operation(ecm, clock, prompter, progress, &stop);
        return operation.run(s, cal, last);
    }
    // Commands after the probe that follows the bootload.
    std::vector<ScriptedEcm::Command> work() const {
        return {ecm.commands.begin() + 1, ecm.commands.end()};
    }
};

TEST(FlashOperation, ReadCoversTheGeometryInFullBlocks) {
    struct Case {
        EcmType type;
        FlashSize size;
        int start;
        std::size_t commands;
        int lastCount;
        const char* lastStatus;
    };
    const Case cases[] = {
        {EcmType::SMEC, FlashSize::Size16K, 0xC000, 65, 64, "Reading FFC0..."},
        {EcmType::SMEC, FlashSize::Size32K, 0x8000, 129, 128, "Reading FF80..."},
        {EcmType::SBEC, FlashSize::Size16K, 0x8000, 129, 128, "Reading FF80..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastStatus);
        Rig rig;
        const auto memory = pattern(0x10000 - c.start, 9);
        rig.putInController(c.start, memory);
        rig.last = std::vector<std::uint8_t>(16, 0);
        FlashSettings s;
        s.operation = FlashOperationKind::Read;
        s.ecmType = c.type;
        s.size = c.size;
        const FlashResult r = rig.run(s);

        EXPECT_TRUE(r.succeeded(false));
        const auto work = rig.work();
        ASSERT_EQ(work.size(), c.commands);
        EXPECT_EQ(work.front().address, c.start);
        EXPECT_EQ(work.front().count, 255);
        EXPECT_EQ(work.back().count, c.lastCount);
        ASSERT_GE(rig.progress.statuses.size(), 2u);
        EXPECT_EQ(rig.progress.statuses[0], "Bootloading ECM...");
        EXPECT_EQ(rig.progress.statuses[1],
                  c.start == 0xC000 ? "Reading C000..." : "Reading 8000...");
        EXPECT_EQ(rig.progress.statuses.back(), c.lastStatus);
        EXPECT_EQ(rig.cal.baseAddress, c.start);
        EXPECT_EQ(rig.cal.image(), memory);
        EXPECT_FALSE(rig.last.has_value());
        EXPECT_TRUE(rig.prompter.messages.empty());
    }
}

TEST(FlashOperation, FailedReadLeavesTheCalibrationAsItWas) {
    Rig rig;
    rig.load(0xC000, pattern(0x4000));
    rig.ecm.readLimit = [](const ScriptedEcm::Command& c) {
        return c.address == 0xC1FE ? 0 : c.count;
    };
    const FlashResult r = rig.run(FlashOperationKind::Read);
    EXPECT_EQ(r.outcome, FlashOutcome::Completed);
    EXPECT_FALSE(r.transferOk);
    EXPECT_EQ(rig.cal.image(), pattern(0x4000));
    EXPECT_EQ(rig.prompter.texts().back(), "Error while reading cal!");
    EXPECT_EQ(rig.prompter.messages.back().second, "Cal Read Error");
}

TEST(FlashOperation, FullWriteProgramsTheImageAndVerifies) {
    Rig rig;
    rig.load(0xC000, pattern(0x4000));
    const FlashResult r = rig.run(FlashOperationKind::FullWrite);

    EXPECT_TRUE(r.succeeded(true));
    const auto writes = rig.ecm.commandsWith(0x51);
    ASSERT_EQ(writes.size(), 256u);
    EXPECT_EQ(writes.front().address, 0xC000);
    EXPECT_EQ(writes.back().address, 0xFFC0);
    EXPECT_EQ(std::vector<std::uint8_t>(rig.ecm.memory.begin() + 0xC000, rig.ecm.memory.end()),
              pattern(0x4000));
    EXPECT_EQ(rig.prompter.messages,
              (Messages{{"Calibration matches memory contents.", "Verify"}}));
    EXPECT_EQ(rig.last, pattern(0x4000));
    EXPECT_EQ(rig.ecm.baudRate(), 9600);
    EXPECT_EQ(rig.ecm.opens, 2);
}

TEST(FlashOperation, WriteBlocksNeverCrossAPage) {
    struct Case {
        int base;
        int length;
        std::size_t blocks;
    };
    // A 0x3FE0-byte image lands at C020; the others start and end mid-page.
    for (const Case c : {Case{0xC020, 0x3FE0, 256}, Case{0xC010, 0x100, 5}, Case{0xFFF0, 0x10, 1},
                         Case{0xC000, 0x4000, 256}}) {
        SCOPED_TRACE(c.base);
        Rig rig;
        rig.load(c.base, pattern(c.length));
        EXPECT_TRUE(rig.run(FlashOperationKind::FullWrite).succeeded(true))
            << ::testing::PrintToString(rig.prompter.texts());
        const auto writes = rig.ecm.commandsWith(0x51);
        EXPECT_EQ(writes.size(), c.blocks);
        for (const auto& w : writes) {
            EXPECT_LE(w.address % 64 + w.count, 64) << std::hex << w.address;
        }
        EXPECT_EQ(std::vector<std::uint8_t>(rig.ecm.memory.begin() + c.base,
                                            rig.ecm.memory.begin() + c.base + c.length),
                  pattern(c.length));
    }
}

// The controller gets what a save would write: the checksum fix-up is applied
// to the open calibration first, and the last-flash copy holds what was sent.
TEST(FlashOperation, WritesSendTheImageWithItsChecksumFixedUp) {
    auto sumsToFF = [](const std::uint8_t* bytes, int length) {
        std::uint8_t sum = 0;
        for (int i = 0; i < length; ++i) {
            sum = static_cast<std::uint8_t>(sum + bytes[i]);
        }
        return sum == 0xFF;
    };
    Rig rig;
    rig.load(0xC000, pattern(0x4000));
    rig.cal.checksumEnabled = true;
    rig.cal.checksumAddress = 0xFFE0;
    rig.cal.fixupAddress = 0xFFE1;
    ASSERT_TRUE(rig.run(FlashOperationKind::FullWrite).succeeded(true));
    EXPECT_TRUE(sumsToFF(rig.ecm.memory.data() + 0xC000, 0x4000));
    EXPECT_EQ(rig.last, rig.cal.image());
    EXPECT_EQ(std::vector<std::uint8_t>(rig.ecm.memory.begin() + 0xC000, rig.ecm.memory.end()),
              rig.cal.image());

    // An edit, then a Differential Write: the fix-up byte goes out with it.
    rig.cal.setImageByte(0x1234, rig.cal.imageByte(0x1234) ^ 0x21);
    ASSERT_TRUE(rig.run(FlashOperationKind::DifferentialWrite).succeeded(true));
    EXPECT_TRUE(sumsToFF(rig.ecm.memory.data() + 0xC000, 0x4000));
    EXPECT_EQ(rig.last, rig.cal.image());
    const auto writes = rig.ecm.commandsWith(0x51);
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2].address, 0xD234);
    EXPECT_EQ(writes.back().address, 0xFFE1);
}

TEST(FlashOperation, DifferentialWriteSendsOnlyWhatChanged) {
    Rig rig;
    auto image = pattern(0x4000);
    rig.putInController(0xC000, image);
    rig.last = image;
    rig.load(0xC000, image);
    FlashResult r = rig.run(FlashOperationKind::DifferentialWrite);
    EXPECT_TRUE(r.succeeded(true));
    EXPECT_TRUE(rig.ecm.commandsWith(0x51).empty());
    EXPECT_EQ(rig.prompter.texts(),
              std::vector<std::string>{"Calibration matches memory contents."});

    Rig rig2;
    rig2.putInController(0xC000, image);
    rig2.last = image;
    image[0x123] ^= 0x40;
    rig2.load(0xC000, image);
    r = rig2.run(FlashOperationKind::DifferentialWrite);
    EXPECT_TRUE(r.succeeded(true));
    const auto writes = rig2.ecm.commandsWith(0x51);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].address, 0xC123);
    EXPECT_EQ(rig2.ecm.memory[0xC123], image[0x123]);
    EXPECT_EQ(rig2.last, image);
}

TEST(FlashOperation, VerifyLeavesOutTheControllerWindowOnlyIn32KImages) {
    struct Case {
        int base;
        int length;
        int differsAt;
        bool mismatch;
    };
    const Case cases[] = {
        {0x8000, 0x8000, 0xB600, false}, {0x8000, 0x8000, 0xB7FF, false},
        {0x8000, 0x8000, 0xB5FF, true},  {0x8000, 0x8000, 0xB800, true},
        {0x8000, 0x4000, 0xB600, true},  {0xC000, 0x4000, 0xFFFF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.differsAt);
        Rig rig;
        rig.load(c.base, pattern(c.length));
        // The controller changes this byte itself after it was programmed.
        rig.ecm.readFilter = [&](int a, std::uint8_t b) {
            return a == c.differsAt ? static_cast<std::uint8_t>(b ^ 0x81) : b;
        };
        const FlashResult r = rig.run(FlashOperationKind::FullWrite);
        EXPECT_EQ(r.verify, c.mismatch ? VerifyOutcome::Mismatch : VerifyOutcome::Matched);
        ASSERT_EQ(rig.prompter.messages.size(), 1u);
        if (c.mismatch) {
            const std::uint8_t cal =
                pattern(c.length)[static_cast<std::size_t>(c.differsAt - c.base)];
            char expected[160];
            std::snprintf(expected, sizeof expected,
                          "Calibration DOES NOT match memory contents!\n Address = 0x%04X, Cal = "
                          "0x%02X, Verify = 0x%02X",
                          c.differsAt, cal, cal ^ 0x81);
            EXPECT_EQ(rig.prompter.messages[0].first, expected);
            EXPECT_EQ(rig.prompter.messages[0].second, "Verify Error");
            EXPECT_FALSE(rig.last.has_value());
        } else {
            EXPECT_TRUE(rig.last.has_value());
        }
    }
}

TEST(FlashOperation, EchoingLineFailsToConnect) {
    Rig rig;
    rig.load(0xC000, pattern(0x4000));
    rig.ecm.echo = true;
    rig.last = pattern(0x4000, 1);
    const FlashResult r = rig.run(FlashOperationKind::FullWrite);
    EXPECT_EQ(r.outcome, FlashOutcome::NoConnection);
    EXPECT_TRUE(r.endedEarly());
    EXPECT_EQ(rig.prompter.messages, (Messages{{"Bad command ack, got 01", "Ack Error"},
                                               {"Could not connect to ECM!", "Connection Error"}}));
    EXPECT_EQ(rig.progress.hidden, 1);
    EXPECT_EQ(rig.last, pattern(0x4000, 1));
}

TEST(FlashOperation, VerifyAfterFailedReadBackComparesNothing) {
    Rig rig;
    rig.load(0xC000, pattern(0x4000));
    // The read-back stalls at C0FF, after all 256 page writes went out.
    rig.ecm.readLimit = [&](const ScriptedEcm::Command& c) {
        return (rig.ecm.commandsWith(0x51).size() == 256 && c.address == 0xC0FF) ? 0 : c.count;
    };
    const FlashResult r = rig.run(FlashOperationKind::FullWrite);
    EXPECT_TRUE(r.transferOk);
    EXPECT_EQ(r.verify, VerifyOutcome::ReadFailed);
    EXPECT_FALSE(r.succeeded(true));
    const auto texts = rig.prompter.texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Error while reading cal!");
    for (const auto& t : texts) {
        EXPECT_EQ(t.find("DOES NOT match"), std::string::npos);
        EXPECT_EQ(t.find("matches memory"), std::string::npos);
    }
    EXPECT_EQ(rig.prompter.messages.back().second, "Verify Error");
    EXPECT_FALSE(rig.last.has_value());
}

TEST(FlashOperation, LastFlashCopyFollowsTheOutcome) {
    enum Keeps { Unchanged, Discarded, Current };
    struct Case {
        const char* name;
        FlashOperationKind op;
        bool verify;
        void (*setup)(Rig&);
        Keeps keeps;
        FlashOutcome outcome;
    };
    const auto none = [](Rig&) {};
    const Case cases[] = {
        {"port fails", FlashOperationKind::FullWrite, true, [](Rig& r) { r.ecm.failOpen = true; },
         Unchanged, FlashOutcome::PortFailed},
        {"no connection", FlashOperationKind::FullWrite, true, [](Rig& r) { r.ecm.deaf = true; },
         Unchanged, FlashOutcome::NoConnection},
        {"size mismatch", FlashOperationKind::DifferentialWrite, true,
         [](Rig& r) { r.last->resize(0x8000); }, Unchanged, FlashOutcome::SizeMismatch},
        {"read", FlashOperationKind::Read, true, none, Discarded, FlashOutcome::Completed},
        {"full write, no verify", FlashOperationKind::FullWrite, false, none, Discarded,
         FlashOutcome::Completed},
        {"differential write, no verify", FlashOperationKind::DifferentialWrite, false, none,
         Discarded, FlashOutcome::Completed},
        {"full write, verified", FlashOperationKind::FullWrite, true, none, Current,
         FlashOutcome::Completed},
        {"differential write, verified", FlashOperationKind::DifferentialWrite, true, none, Current,
         FlashOutcome::Completed},
        {"verify mismatch", FlashOperationKind::FullWrite, true, [](Rig& r) { r.ecm.noSdp = true; },
         Discarded, FlashOutcome::Completed},
        {"stopped while writing", FlashOperationKind::FullWrite, true, none, Discarded,
         FlashOutcome::Stopped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const auto previous = pattern(0x4000, 5);
        rig.putInController(0xC000, previous);
        rig.last = previous;
        rig.load(0xC000, pattern(0x4000));
        c.setup(rig);
        FlashSettings s;
        s.operation = c.op;
        s.verify = c.verify;
        FlashResult r;
        if (c.outcome == FlashOutcome::Stopped) {
            // The user stops while the tenth page write goes out.
            class Stopper final : public FlashProgress {
            public:
                explicit Stopper(std::atomic<bool>& stop) : stop_(stop) {}
                void setStatusText(const std::string& t) override {
                    if (t == "Writing C240...") {
                        stop_ = true;
                    }
                }

            private:
                std::atomic<bool>& stop_;
            } stopper(rig.stop);
            FlashOperation operation(rig.ecm, rig.clock, rig.prompter, stopper, &rig.stop);
            r = operation.run(s, rig.cal, rig.last);
            EXPECT_EQ(rig.ecm.commandsWith(0x51).size(), 10u);
            EXPECT_TRUE(rig.prompter.messages.empty());
        } else {
            r = rig.run(s);
        }
        EXPECT_EQ(r.outcome, c.outcome);
        switch (c.keeps) {
        case Unchanged:
            ASSERT_TRUE(rig.last.has_value());
            EXPECT_EQ(rig.last->size(),
                      c.outcome == FlashOutcome::SizeMismatch ? 0x8000u : 0x4000u);
            EXPECT_EQ(rig.last->at(0), previous[0]);
            break;
        case Discarded:
            EXPECT_FALSE(rig.last.has_value());
            break;
        case Current:
            EXPECT_EQ(rig.last, pattern(0x4000));
            break;
        }
    }
}

TEST(FlashOperation, EarlyEndsReportTheirMessage) {
    struct Case {
        const char* name;
        FlashOperationKind op;
        void (*setup)(Rig&);
        Messages expected;
        int opens;
    };
    const Case cases[] = {
        {"port",
         FlashOperationKind::FullWrite,
         [](Rig& r) { r.ecm.failOpen = true; },
         {{"Failed to open COM port!", "Com Error"}},
         0},
        {"size",
         FlashOperationKind::DifferentialWrite,
         [](Rig& r) { r.last = std::vector<std::uint8_t>(0x8000); },
         {{"Size of last flash does not match current binary!\nPlease do a Full Write.", "Error"}},
         2},
        {"outside memory",
         FlashOperationKind::FullWrite,
         [](Rig& r) { r.load(0xC000, pattern(0x8000)); },
         {{"Calibration does not fit the ECM memory (8000-FFFF)!\nCheck its base address.",
           "Error"}},
         0},
        // A file that loaded as 0 bytes never reaches the port.
        {"empty image",
         FlashOperationKind::FullWrite,
         [](Rig& r) { r.load(0xC000, {}); },
         {{"The calibration is empty: there is nothing to flash!", "Error"}},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.load(0xC000, pattern(0x4000));
        c.setup(rig);
        const FlashResult r = rig.run(c.op);
        EXPECT_TRUE(r.endedEarly());
        EXPECT_EQ(rig.prompter.messages, c.expected);
        EXPECT_EQ(rig.ecm.opens, c.opens);
        EXPECT_TRUE(rig.ecm.commandsWith(0x51).empty());
        EXPECT_EQ(rig.progress.shown, rig.progress.hidden);
    }
}

} // namespace
} // namespace tevra::test
