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
    // The bytes under the entry may be others now (a new image, or a count read
    // before the entry had any): the count is read again from them.
    cachedCount_ = -1;
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

namespace {
// Nearest whole number, saturating so that huge or non-finite values still clamp.
int nearestRaw(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(std::round(v), -1.0e9, 1.0e9));
}
} // namespace

int CalEntry::XToRaw(float eng) const {
    const double lo = xMinValue(), hi = xMaxValue();
    if (hi == lo)
        return 0;
    return nearestRaw((double{eng} - lo) / (hi - lo) * 256.0);
}

int CalEntry::YToRaw(float eng) const {
    const double lo = yMinValue(), hi = yMaxValue();
    const int offset = type == EntryType::Signed8Table ? 128 : 0;
    if (hi == lo)
        return -offset;
    return nearestRaw((double{eng} - lo) / (hi - lo) * double{yScale(*this)}) - offset;
}

float CalEntry::ConstantToEng(int raw) const {
    const float full = type == EntryType::Constant16 ? 65535.0f : 255.0f;
    const float lo = yMinValue(), hi = yMaxValue();
    return lo + (hi - lo) * static_cast<float>(raw) / full;
}

int CalEntry::ConstantToRaw(float eng) const {
    const double full = type == EntryType::Constant16 ? 65535.0 : 255.0;
    const double lo = yMinValue(), hi = yMaxValue();
    if (hi == lo)
        return 0;
    return nearestRaw((double{eng} - lo) / (hi - lo) * full);
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

} // namespace tevra
