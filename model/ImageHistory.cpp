#include "ImageHistory.h"

#include "Calibration.h"

namespace tevra {

ImageHistory::~ImageHistory() {
    attach(nullptr);
}

void ImageHistory::attach(Calibration* cal) {
    if (cal_)
        cal_->setByteObserver(nullptr);
    cal_ = cal;
    clear();
    if (cal_)
        cal_->setByteObserver(
            [this](std::int64_t offset, std::uint8_t before) { record(offset, before); });
}

void ImageHistory::record(std::int64_t offset, std::uint8_t before) {
    if (replaying_)
        return;
    // Only the first old value of a byte counts: a drag rewrites the same bytes
    // many times, and the step must go back to where the drag started.
    open_.emplace(offset, before);
}

void ImageHistory::beginStep() {
    endStep();
}

void ImageHistory::endStep() {
    if (open_.empty() || !cal_)
        return;
    Step step;
    for (const auto& [offset, before] : open_) {
        const auto after = static_cast<std::uint8_t>(cal_->imageByte(offset));
        if (after != before)
            step.push_back({offset, before, after});
    }
    open_.clear();
    // A gesture that ends where it began (a refused move, a drag back to the
    // start) leaves nothing to undo.
    if (step.empty())
        return;
    undo_.push_back(std::move(step));
    redo_.clear();
}

bool ImageHistory::undo() {
    return replay(undo_, redo_, false);
}

bool ImageHistory::redo() {
    return replay(redo_, undo_, true);
}

bool ImageHistory::replay(std::vector<Step>& from, std::vector<Step>& to, bool forward) {
    if (!cal_ || cal_->readOnly)
        return false;
    endStep();
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    cal_->SetDataModified(true);
    replaying_ = true;
    for (const ByteChange& c : step)
        cal_->setImageByte(c.offset, forward ? c.after : c.before);
    replaying_ = false;
    to.push_back(std::move(step));
    return true;
}

void ImageHistory::clear() {
    open_.clear();
    undo_.clear();
    redo_.clear();
}

} // namespace tevra
