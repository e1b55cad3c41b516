// The undo history of image bytes, fed by the calibration's byte observer.
#include "ImageHistory.h"

#include "Calibration.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tevra;

namespace {

// An editable 64-byte image at 0xC000 with one entry of each kind the editor
// changes bytes through; the history listens to it.
struct Edited {
    Calibration cal;
    ImageHistory history;
    CalEntry* table8 = nullptr;
    CalEntry* table16 = nullptr;
    CalEntry* grid = nullptr;
    CalEntry* constant = nullptr;

    Edited() {
        std::vector<std::uint8_t> bytes(64, 0x00);
        const std::vector<std::uint8_t> t8{3, 0, 10, 0, 0, 100, 50, 0, 0, 200, 90, 0, 0};
        const std::vector<std::uint8_t> t16{0, 0, 100, 0, 0, 100, 0x04, 0, 0, 0x10, 0xFF};
        const std::vector<std::uint8_t> g{2, 2, 0xFF, 1, 2, 0x80, 0x7F};
        std::copy(t8.begin(), t8.end(), bytes.begin());
        std::copy(t16.begin(), t16.end(), bytes.begin() + 16);
        std::copy(g.begin(), g.end(), bytes.begin() + 32);
        bytes[48] = 0x42;
        cal.SetImage(std::move(bytes));
        cal.readOnly = false;
        table8 = add(EntryType::Unsigned8Table, 0xC000);
        table16 = add(EntryType::Unsigned16Table, 0xC010);
        grid = add(EntryType::Table3D, 0xC020);
        constant = add(EntryType::Constant8, 0xC030);
        table8->RecomputeSlopes();
        table16->RecomputeSlopes();
        history.attach(&cal);
    }
    CalEntry* add(EntryType t, std::int32_t a) {
        CalEntry* e = cal.NewEntry();
        e->type = t;
        e->Relocate(a);
        return e;
    }
    void step(const std::function<void()>& edit) {
        history.beginStep();
        edit();
        history.endStep();
    }
};

struct EditCase {
    const char* name;
    std::function<void(Edited&)> edit;
};

class EveryEdit : public ::testing::TestWithParam<EditCase> {};

} // namespace

TEST_P(EveryEdit, UndoRestoresTheImageAndRedoRepeatsTheEdit) {
    Edited e;
    const std::vector<std::uint8_t> before = e.cal.image();
    e.step([&] { GetParam().edit(e); });
    const std::vector<std::uint8_t> after = e.cal.image();
    ASSERT_NE(after, before) << "the case must change bytes";
    ASSERT_EQ(e.history.undoCount(), 1u);

    e.cal.SetDataModified(false);
    EXPECT_TRUE(e.history.undo());
    EXPECT_EQ(e.cal.image(), before);
    EXPECT_TRUE(e.cal.dataModified());
    EXPECT_TRUE(e.history.redo());
    EXPECT_EQ(e.cal.image(), after);
    EXPECT_TRUE(e.history.undo());
    EXPECT_EQ(e.cal.image(), before);
    // Replaying is not an edit: nothing new was recorded on the way.
    EXPECT_EQ(e.history.undoCount(), 0u);
    EXPECT_EQ(e.history.redoCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EveryEdit,
    ::testing::Values(
        EditCase{"OffsetPoint8", [](Edited& e) { e.table8->OffsetPoint(1, 1, 1); }},
        EditCase{"OffsetPointEndSlope16", [](Edited& e) { e.table16->OffsetPoint(2, 0, 1); }},
        EditCase{"DragPoint16", [](Edited& e) { e.table16->DragPoint(1, 0.5f, 0.2f, true); }},
        EditCase{"ScaleAll", [](Edited& e) { e.table8->ScaleAll(0.5f, 2.0f); }},
        EditCase{"SetAll", [](Edited& e) { e.table16->SetAll(40.0f); }},
        EditCase{"AddToAll", [](Edited& e) { e.table8->AddToAll(-5.0f); }},
        EditCase{"AddToCell", [](Edited& e) { e.grid->AddToCell(1, 0, -1); }},
        EditCase{"ScaleCells", [](Edited& e) { e.grid->ScaleCells(3.0f); }},
        EditCase{"ConstantByte", [](Edited& e) { e.constant->setByte(0, 0x43); }},
        EditCase{"FlagBit", [](Edited& e) { e.constant->setByte(0, 0x42 ^ 0x08); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageHistorySteps, ADragIsOneStepBackToWhereItStarted) {
    Edited e;
    const std::vector<std::uint8_t> before = e.cal.image();
    e.history.beginStep();
    for (int k = 1; k <= 20; ++k)
        e.table8->DragPoint(1, 0.3f + 0.01f * static_cast<float>(k), 0.1f * (k % 7), true);
    e.history.endStep();
    ASSERT_NE(e.cal.image(), before);
    EXPECT_EQ(e.history.undoCount(), 1u);
    e.history.undo();
    EXPECT_EQ(e.cal.image(), before);
    EXPECT_FALSE(e.history.canUndo());
}

TEST(ImageHistorySteps, StepsUndoInReverseOrderAndANewEditDropsTheRedo) {
    Edited e;
    const auto s0 = e.cal.image();
    e.step([&] { e.table8->OffsetPoint(0, 0, 1); });
    const auto s1 = e.cal.image();
    e.step([&] { e.table8->OffsetPoint(0, 0, 1); });
    e.step([&] { e.grid->AddToCell(0, 0, 1); });
    EXPECT_EQ(e.history.undoCount(), 3u);
    e.history.undo();
    e.history.undo();
    EXPECT_EQ(e.cal.image(), s1);
    e.step([&] { e.constant->setByte(0, 1); });
    EXPECT_FALSE(e.history.canRedo());
    e.history.undo();
    e.history.undo();
    EXPECT_EQ(e.cal.image(), s0);
    EXPECT_FALSE(e.history.undo());
}

TEST(ImageHistorySteps, StepsWithoutANetChangeAreNotKept) {
    Edited e;
    // A refused move (X onto its neighbour) and an edit that is taken back.
    e.step([&] { e.table8->OffsetPoint(1, -100, 0); });
    e.step([&] {
        e.constant->setByte(0, 0x10);
        e.constant->setByte(0, 0x42);
    });
    EXPECT_FALSE(e.history.canUndo());
}

TEST(ImageHistorySteps, ChangesOutsideAGestureBecomeTheirOwnStep) {
    Edited e;
    const auto before = e.cal.image();
    e.constant->setByte(0, 0x01);
    e.step([&] { e.grid->AddToCell(0, 0, 1); });
    EXPECT_EQ(e.history.undoCount(), 2u);
    e.history.undo();
    e.history.undo();
    EXPECT_EQ(e.cal.image(), before);
}

TEST(ImageHistorySteps, NothingHappensWhileEditingIsDisabled) {
    Edited e;
    e.step([&] { e.table8->OffsetPoint(0, 0, 1); });
    const auto edited = e.cal.image();
    e.cal.SetDataModified(false);
    e.cal.readOnly = true;
    EXPECT_FALSE(e.history.undo());
    EXPECT_EQ(e.cal.image(), edited);
    EXPECT_FALSE(e.cal.dataModified());
    e.cal.readOnly = false;
    EXPECT_TRUE(e.history.undo());
}

TEST(ImageHistorySteps, ClearForgetsEverythingAndAStepKeepsOnlyChangedBytes) {
    Edited e;
    e.step([&] { e.grid->AddToCell(1, 1, 1); }); // 0x7F stops at 127: nothing changes
    e.step([&] { e.table8->OffsetPoint(1, 0, 1); });
    EXPECT_EQ(e.history.undoCount(), 1u);
    e.history.undo();
    e.history.clear();
    EXPECT_FALSE(e.history.canUndo());
    EXPECT_FALSE(e.history.canRedo());
}
