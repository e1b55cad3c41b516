#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace tevra {

class Calibration;

// The undo history of a calibration's image bytes. It listens to the
// calibration's byte observer and keeps, per step, only the bytes that changed
// (offset, old, new), never a copy of the image. A step is what happens between
// beginStep and endStep: one key press, one drag, one click, one Modify All
// Points. Byte changes that arrive while no step is open start one of their own,
// which the next beginStep, endStep, undo or redo closes.
class ImageHistory {
public:
    struct ByteChange {
        std::int64_t offset;
        std::uint8_t before;
        std::uint8_t after;
    };
    using Step = std::vector<ByteChange>;

    ImageHistory() = default;
    ~ImageHistory();
    ImageHistory(const ImageHistory&) = delete;
    ImageHistory& operator=(const ImageHistory&) = delete;

    // Starts listening to cal (and stops listening to any earlier one); none detaches.
    // The calibration must outlive the history or be detached first.
    void attach(Calibration* cal);

    void beginStep();
    void endStep();

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Both do nothing while the calibration is read-only ("Disable Editing
    // Binary"); otherwise they restore the bytes of one step and mark the
    // calibration modified like any edit. False when nothing was done.
    bool undo();
    bool redo();

    // Forgets every step: a calibration was loaded, read or closed.
    void clear();
    // Forgets the steps that could be redone: an edit the history does not hold
    // (a change of definitions) came after them.
    void dropRedo() { redo_.clear(); }

    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }

private:
    void record(std::int64_t offset, std::uint8_t before);
    bool replay(std::vector<Step>& from, std::vector<Step>& to, bool forward);

    Calibration* cal_ = nullptr;
    std::map<std::int64_t, std::uint8_t> open_; // offset -> byte before the step
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    bool replaying_ = false;
};

} // namespace tevra
