// The edit operations of an entry: each is ignored while the owner is read-only
// or the entry reaches outside the image, and marks the image modified.
#include "CalEntry.h"
#include "Calibration.h"
#include "TextRules.h"

#include <algorithm>
#include <climits>

namespace tevra {

using text::truncToInt;

// ---------------------------------------------------------------- edit operations

// An entry whose layout reaches outside the image is shown as far as it can be
// read, but never changed: its bytes would not mean what the definition says.
bool CalEntry::editable() const {
    return !owner_->readOnly && inImage();
}

void CalEntry::OffsetPoint(int i, int dx, int dy) {
    if (!editable() || !isTable2D(type))
        return;
    owner_->SetDataModified(true);
    if (isEndPoint(i)) {
        const int s = GetSlope(i - 1);
        const std::int64_t step = 10 * std::int64_t{dy};
        if ((dy > 0 && s <= INT_MAX - step) || (dy < 0 && s + step >= 0))
            SetSlope(i - 1, s + 8 * dy);
        return;
    }
    SetX(i, GetX(i) + dx, true);
    SetY(i, GetY(i) + dy, true);
    RecomputeSlopes();
}

void CalEntry::AddY(int i, int d) {
    if (!editable())
        return;
    owner_->SetDataModified(true);
    const std::int64_t v = std::int64_t{GetY(i)} + d;
    SetY(i, static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)), false);
}

void CalEntry::SetPointY(int i, int v) {
    if (!editable())
        return;
    owner_->SetDataModified(true);
    if (isEndPoint(i)) {
        const std::int64_t rise = (std::int64_t{v} - GetY(i - 1)) * 256;
        const std::int64_t slope = rise / (255 - GetX(i - 1));
        SetSlope(i - 1, static_cast<int>(std::clamp<std::int64_t>(slope, INT_MIN, INT_MAX)));
        return;
    }
    if (static_cast<int>(type) >= 0 && static_cast<int>(type) <= 4)
        SetY(i, v, false);
}

void CalEntry::ScalePoint(int i, float fx, float fy) {
    if (!editable())
        return;
    owner_->SetDataModified(true);
    SetX(i, truncToInt(static_cast<float>(GetX(i)) * fx), false);
    if (isEndPoint(i))
        SetSlope(i - 1, truncToInt(static_cast<float>(GetSlope(i - 1)) * fy));
    else if (static_cast<int>(type) >= 0 && static_cast<int>(type) <= 4)
        SetY(i, truncToInt(static_cast<float>(GetY(i)) * fy), false);
}

void CalEntry::DragPoint(int i, float fx, float fy, bool moveX) {
    if (!editable())
        return;
    owner_->SetDataModified(true);
    if (moveX)
        SetX(i, truncToInt(fx * 255.0f), true);
    switch (type) {
    case EntryType::Unsigned8Table:
    case EntryType::Constant8:
        SetY(i, truncToInt(fy * 255.0f), true);
        break;
    case EntryType::Signed8Table:
        SetY(i, truncToInt(fy * 255.0f) - 128, true);
        break;
    case EntryType::Constant16:
        SetY(i, truncToInt(fy * 65535.0f), true);
        break;
    case EntryType::Unsigned16Table:
        if (isEndPoint(i)) {
            const std::int64_t rise = (std::int64_t{truncToInt(fy * 12287.0f)} - GetY(i - 1)) * 256;
            const std::int64_t slope = rise / (255 - GetX(i - 1));
            SetSlope(i - 1, static_cast<int>(std::clamp<std::int64_t>(slope, INT_MIN, INT_MAX)));
        } else {
            SetY(i, truncToInt(fy * 12287.0f), true);
        }
        break;
    default:
        break;
    }
    RecomputeSlopes();
}

void CalEntry::AddToAll(float e) {
    const int d = YDeltaToRaw(e);
    const int p = PointCount();
    for (int i = 0; i < p; ++i)
        AddY(i, d);
    if (editable())
        RecomputeSlopes();
}

void CalEntry::SetAll(float e) {
    const int v = YDeltaToRaw(e);
    const int p = PointCount();
    for (int i = 0; i < p; ++i)
        SetPointY(i, v);
    if (editable())
        RecomputeSlopes();
}

void CalEntry::ScaleAll(float fx, float fy) {
    const int p = PointCount();
    for (int i = 0; i < p; ++i)
        ScalePoint(i, fx, fy);
    if (editable())
        RecomputeSlopes();
}

void CalEntry::AddToCell(int c, int r, int d) {
    if (!editable() || type != EntryType::Table3D)
        return;
    if (c < 0 || r < 0 || c >= Columns() || r >= Rows())
        return;
    const std::int64_t at = 3 + std::int64_t{r} * Columns() + c;
    if (cellsSigned())
        setByte(at, std::clamp(GetCell(c, r) + d, -128, 127) & 0xFF);
    else
        setByte(at, std::clamp(GetCell(c, r) + d, 0, 255));
    owner_->SetDataModified(true);
}

void CalEntry::StepConstant(int d) {
    if (!editable() || !isConstant(type))
        return;
    const bool wide = type == EntryType::Constant16;
    const int next = GetX(0) + d;
    if (next < 0 || next > (wide ? 0xFFFF : 0xFF))
        return;
    if (wide)
        setWord(0, next);
    else
        setByte(0, next);
    owner_->SetDataModified(true);
}

void CalEntry::ToggleItem(int k) {
    if (!editable() || k < 0 || k > 7 ||
        (type != EntryType::FlagByte && type != EntryType::ValueList))
        return;
    const auto index = static_cast<std::size_t>(k);
    if (text::equalsNoCase(itemNames[index], "unused"))
        return;
    if (type == EntryType::FlagByte)
        setByte(0, byteAt(0) ^ (1 << k));
    else
        setByte(0, itemValues[index] & 0xFF);
    owner_->SetDataModified(true);
}

void CalEntry::EnterX(int i, int raw) {
    if (!editable() || !isTable2D(type) || isEndPoint(i))
        return;
    owner_->SetDataModified(true);
    SetX(i, raw, true);
    RecomputeSlopes();
}

void CalEntry::EnterY(int i, int raw) {
    if (!editable())
        return;
    if (isEndPoint(i)) {
        owner_->SetDataModified(true);
        const std::int64_t rise = (std::int64_t{raw} - GetY(i - 1)) * 256;
        const std::int64_t slope = rise / (255 - GetX(i - 1));
        SetSlope(i - 1, static_cast<int>(std::clamp<std::int64_t>(slope, 0, 65535)));
        return;
    }
    if (isTable2D(type)) {
        owner_->SetDataModified(true);
        SetY(i, raw, true);
        RecomputeSlopes();
    } else if (isConstant(type)) {
        owner_->SetDataModified(true);
        SetY(0, raw, false);
    }
}

void CalEntry::SetCell(int c, int r, int v) {
    if (!editable() || type != EntryType::Table3D)
        return;
    if (c < 0 || r < 0 || c >= Columns() || r >= Rows())
        return;
    owner_->SetDataModified(true);
    const std::int64_t at = 3 + std::int64_t{r} * Columns() + c;
    if (cellsSigned())
        setByte(at, std::clamp(v, -128, 127) & 0xFF);
    else
        setByte(at, std::clamp(v, 0, 255));
}

} // namespace tevra
