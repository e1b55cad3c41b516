#include "CalEntry.h"

#include "Calibration.h"
#include "TextRules.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tevra {

using text::truncToInt;

CalEntry::CalEntry(Calibration* owner) : owner_(owner) {}

// ---------------------------------------------------------------- position

bool CalEntry::hasData() const {
    return positioned_ && owner_->hasImage();
}

void CalEntry::Relocate(std::int32_t a) {
    address = a;
    reposition();
}

void CalEntry::reposition() {
    dataOffset_ = std::int64_t{address} - owner_->baseAddress;
    positioned_ = true;
}

int CalEntry::byteAt(std::int64_t k) const {
    if (!hasData())
        return 0xFF;
    return owner_->imageByte(dataOffset_ + k);
}

bool CalEntry::bytesInImage(std::int64_t k, std::int64_t n) const {
    if (!hasData() || n <= 0)
        return hasData() && n == 0;
    const std::int64_t first = dataOffset_ + k;
    return first >= 0 && first + n <= owner_->imageLength();
}

bool CalEntry::inImage() const {
    switch (type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        return bytesInImage(0, 1) && bytesInImage(0, 1 + 4 * std::int64_t{byteAt(0)});
    case EntryType::Unsigned16Table: {
        if (!hasData())
            return false;
        for (std::int64_t k = 0;; ++k) {
            if (!bytesInImage(5 * k, 1))
                return false;
            if (byteAt(5 * k) == 0xFF)
                return true;
        }
    }
    case EntryType::Constant16:
        return bytesInImage(0, 2);
    case EntryType::Table3D:
        return bytesInImage(0, 3) &&
               bytesInImage(0, 3 + std::int64_t{byteAt(0)} * std::int64_t{byteAt(1)});
    default:
        return bytesInImage(0, 1);
    }
}

int CalEntry::word(std::int64_t k) const {
    return (byteAt(k) << 8) | byteAt(k + 1);
}

void CalEntry::setByte(std::int64_t k, int v) {
    if (hasData())
        owner_->setImageByte(dataOffset_ + k, v & 0xFF);
}

void CalEntry::setWord(std::int64_t k, int v) {
    setByte(k, (v >> 8) & 0xFF);
    setByte(k + 1, v & 0xFF);
}

// ---------------------------------------------------------------- reading

int CalEntry::PointCount() const {
    switch (type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
    case EntryType::Unsigned16Table:
        break;
    case EntryType::Constant8:
    case EntryType::Constant16:
    case EntryType::FlagByte:
    case EntryType::ValueList:
    case EntryType::Table3D:
        return 1;
    default:
        return 0;
    }
    if (cachedCount_ >= 0 && cachedType_ == type && cachedAddress_ == address)
        return cachedCount_;
    int count = 0;
    if (type == EntryType::Unsigned16Table) {
        // Bytes outside the image read as 0xFF, so the walk always ends.
        std::int64_t k = 0;
        while (byteAt(5 * k) != 0xFF)
            ++k;
        count = static_cast<int>(std::min<std::int64_t>(k + 1, INT_MAX));
    } else {
        count = byteAt(0);
    }
    cachedCount_ = count;
    cachedType_ = type;
    cachedAddress_ = address;
    return count;
}

bool CalEntry::isEndPoint(int i) const {
    return type == EntryType::Unsigned16Table && i > 0 && i == PointCount() - 1;
}

int CalEntry::GetX(int i) const {
    switch (type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        return byteAt(1 + 4 * std::int64_t{i});
    case EntryType::Unsigned16Table:
        return i < PointCount() - 1 ? byteAt(5 * std::int64_t{i}) : 255;
    case EntryType::Constant8:
        return byteAt(0);
    case EntryType::Constant16:
        return word(0);
    default:
        return -1;
    }
}

int CalEntry::GetY(int i) const {
    switch (type) {
    case EntryType::Unsigned8Table:
        return byteAt(2 + 4 * std::int64_t{i});
    case EntryType::Signed8Table:
        return static_cast<std::int8_t>(byteAt(2 + 4 * std::int64_t{i}));
    case EntryType::Unsigned16Table: {
        const int p = PointCount();
        if (i < p - 1)
            return word(5 * std::int64_t{i} + 1);
        if (i == p - 1 && i > 0)
            return GetY(i - 1) + GetSlope(i - 1) * (255 - GetX(i - 1)) / 256;
        return -1;
    }
    case EntryType::Constant8:
    case EntryType::Constant16:
        return GetX(0);
    default:
        return -1;
    }
}

int CalEntry::GetSlope(int i) const {
    switch (type) {
    case EntryType::Unsigned16Table:
        return (i >= 0 && i < PointCount() - 1) ? word(5 * std::int64_t{i} + 3) : -1;
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        return (i >= 0 && i < PointCount() - 1) ? word(3 + 4 * std::int64_t{i}) : -1;
    default:
        return -1;
    }
}

int CalEntry::Columns() const {
    return type == EntryType::Table3D ? byteAt(1) : 0;
}
int CalEntry::Rows() const {
    return type == EntryType::Table3D ? byteAt(0) : 0;
}
bool CalEntry::cellsSigned() const {
    return byteAt(2) == 0xFF;
}

int CalEntry::GetCell(int c, int r) const {
    const int v = byteAt(3 + std::int64_t{r} * Columns() + c);
    return cellsSigned() ? static_cast<std::int8_t>(v) : v;
}

int CalEntry::RawFullScale() const {
    switch (type) {
    case EntryType::Unsigned16Table:
        return 12288;
    case EntryType::Constant16:
        return 65536;
    default:
        return 256;
    }
}

int CalEntry::Interpolate(int x) const {
    if (isConstant(type))
        return GetX(0);
    const int p = PointCount();
    if (p <= 1 || x < GetX(0))
        return GetY(0);
    int i = 1;
    while (i < p && GetX(i) < x)
        ++i;
    if (i == p)
        return GetY(p - 1);
    const int b = i - 1;
    const int xb = GetX(b), xi = GetX(i);
    const int yb = GetY(b), yi = GetY(i);
    if (xi == xb)
        return yb;
    const float t = static_cast<float>(x - xb) / static_cast<float>(xi - xb);
    return yb + truncToInt(static_cast<float>(yi - yb) * t);
}

float CalEntry::xMinValue() const {
    return text::parseNumberPrefix(xMin);
}
float CalEntry::xMaxValue() const {
    return text::parseNumberPrefix(xMax);
}
float CalEntry::yMinValue() const {
    return text::parseNumberPrefix(yMin);
}
float CalEntry::yMaxValue() const {
    return text::parseNumberPrefix(yMax);
}

float CalEntry::XToEng(int raw) const {
    if (raw < 0)
        return 0.0f;
    const float lo = xMinValue(), hi = xMaxValue();
    return lo + (hi - lo) * static_cast<float>(raw) * 0.00390625f;
}

namespace {
float yScale(const CalEntry& e) {
    switch (e.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        return 256.0f;
    case EntryType::Unsigned16Table:
        return 12288.0f;
    default:
        return e.yMaxValue();
    }
}
} // namespace

float CalEntry::YToEng(int raw) const {
    const float rawPrime = static_cast<float>(type == EntryType::Signed8Table ? raw + 128 : raw);
    const float lo = yMinValue(), hi = yMaxValue();
    return lo + (rawPrime / yScale(*this)) * (hi - lo);
}

int CalEntry::YDeltaToRaw(float e) const {
    const float lo = yMinValue(), hi = yMaxValue();
    return truncToInt(e / (hi - lo) * yScale(*this));
}

int CalEntry::NearestPoint(float fx, float fy) const {
    if (!isTable2D(type))
        return 0;
    const int p = PointCount();
    int best = -1;
    float bestDistance = 0.1f;
    for (int i = 0; i < p; ++i) {
        float px = static_cast<float>(GetX(i)) / 255.0f;
        float py = 0;
        if (type == EntryType::Unsigned8Table)
            py = static_cast<float>(GetY(i)) / 255.0f;
        else if (type == EntryType::Signed8Table)
            py = static_cast<float>(GetY(i) + 128) / 255.0f;
        else
            py = static_cast<float>(GetY(i)) / 12287.0f;
        if (isEndPoint(i))
            px = 1.0f;
        const float d = std::sqrt((fx - px) * (fx - px) + (fy - py) * (fy - py));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// ---------------------------------------------------------------- low-level writes

void CalEntry::SetX(int i, int v, bool checkOrder) {
    if (!isTable2D(type) || i < 0 || !inImage())
        return;
    const int p = PointCount();
    const bool wide = type == EntryType::Unsigned16Table;
    // A point beyond the table would be a byte of whatever follows it.
    if (i >= (wide ? p - 1 : p))
        return;
    if (checkOrder) {
        const bool hasRight = wide ? i < p - 2 : i < p - 1;
        if (i > 0 && v <= GetX(i - 1))
            return;
        if (hasRight && v >= GetX(i + 1))
            return;
    }
    if (wide)
        setByte(5 * std::int64_t{i}, std::clamp(v, 0, 254));
    else
        setByte(1 + 4 * std::int64_t{i}, std::clamp(v, 0, 255));
}

void CalEntry::SetY(int i, int v, bool checkOrder) {
    if (i < 0 || !inImage())
        return;
    const int p = PointCount();
    if (checkOrder && type == EntryType::Unsigned16Table) {
        if (i > 0 && v <= GetY(i - 1))
            return;
        if (i < p - 2 && v >= GetY(i + 1))
            return;
    }
    if ((type == EntryType::Unsigned8Table || type == EntryType::Signed8Table) && i >= p)
        return;
    switch (type) {
    case EntryType::Unsigned8Table:
        setByte(2 + 4 * std::int64_t{i}, std::clamp(v, 0, 255));
        break;
    case EntryType::Unsigned16Table:
        if (i < p - 1)
            setWord(5 * std::int64_t{i} + 1, std::clamp(v, 0, 12287));
        break;
    case EntryType::Signed8Table:
        setByte(2 + 4 * std::int64_t{i}, std::clamp(v, -128, 127) & 0xFF);
        break;
    case EntryType::Constant8:
        setByte(0, std::clamp(v, 0, 255));
        break;
    case EntryType::Constant16:
        setWord(0, std::clamp(v, 0, 65535));
        break;
    default:
        break;
    }
}

void CalEntry::SetSlope(int i, int v) {
    if (i < 0 || i >= PointCount() - 1 || !inImage())
        return;
    if (type == EntryType::Unsigned16Table) {
        if (v < 0)
            v = 0;
        setWord(5 * std::int64_t{i} + 3, v & 0xFFFF);
    } else if (type == EntryType::Unsigned8Table || type == EntryType::Signed8Table) {
        setByte(3 + 4 * std::int64_t{i}, (v / 256) & 0xFF);
        setByte(4 + 4 * std::int64_t{i}, v & 0xFF);
    }
}

void CalEntry::RecomputeSlopes() {
    if (!isTable2D(type) || !inImage())
        return;
    const int p = PointCount();
    const bool wide = type == EntryType::Unsigned16Table;
    const int segments = wide ? p - 2 : p - 1;
    for (int k = 0; k < segments; ++k) {
        const int dx = GetX(k + 1) - GetX(k);
        const int slope = dx == 0 ? 0 : ((GetY(k + 1) - GetY(k)) * 256) / dx;
        const std::int64_t at = wide ? 5 * std::int64_t{k} + 3 : 3 + 4 * std::int64_t{k};
        setByte(at, (slope >> 8) & 0xFF);
        setByte(at + 1, slope & 0xFF);
    }
}

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

} // namespace tevra
