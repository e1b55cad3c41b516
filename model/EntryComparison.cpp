#include "EntryComparison.h"

#include "Calibration.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tevra {

namespace {

bool isEightBitTable(EntryType t) {
    return t == EntryType::Unsigned8Table || t == EntryType::Signed8Table;
}

bool isSingleByteKind(EntryType t) {
    return t == EntryType::FlagByte || t == EntryType::ValueList;
}

std::vector<int> cellsOf(const CalEntry& e) {
    const int rows = e.Rows(), columns = e.Columns();
    std::vector<int> cells;
    cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            cells.push_back(e.GetCell(c, r));
    return cells;
}

} // namespace

std::optional<EntryComparison::CommonTypes> EntryComparison::commonTypes(EntryType self,
                                                                         EntryType other) {
    // Signed and unsigned 8-bit tables share a layout; compared as unsigned, a
    // table misclassified by the scan still finds its partner.
    if (isEightBitTable(self) && isEightBitTable(other))
        return CommonTypes{EntryType::Unsigned8Table, EntryType::Unsigned8Table};
    // An unknown entry can be any one-byte or two-byte item.
    if (self == EntryType::Unknown) {
        if (isConstant(other) || isSingleByteKind(other))
            return CommonTypes{other, other};
        return std::nullopt;
    }
    switch (self) {
    case EntryType::Unsigned16Table:
    case EntryType::Constant8:
    case EntryType::Constant16:
    case EntryType::FlagByte:
    case EntryType::ValueList:
    case EntryType::Table3D:
        if (self == other)
            return CommonTypes{self, other};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

EntryComparison::Curve EntryComparison::sampleCurve(const CalEntry& e) {
    Curve curve{};
    for (int k = 0; k < kSamples; ++k)
        curve[static_cast<std::size_t>(k)] = e.Interpolate(8 * k);
    return curve;
}

float EntryComparison::curveDifference(const Curve& self, const Curve& other, int fullScale) {
    float largest = 0.0f;
    for (std::size_t k = 0; k < self.size(); ++k) {
        const float d =
            static_cast<float>(std::abs(self[k] - other[k])) / static_cast<float>(fullScale);
        largest = std::max(largest, d);
    }
    return largest;
}

EntryComparison::Score EntryComparison::tableScore(int selfCount, int otherCount,
                                                   float curveDifference) {
    const int apart = std::abs(selfCount - otherCount);
    const float counts = apart == 0 ? 0.4f : (apart == 1 ? 0.2f : 0.0f);
    return Score{counts + 0.4f * (1.0f - curveDifference), 0.8f};
}

EntryComparison::Score EntryComparison::constantScore(int self, int other, int fullScale) {
    const float r = static_cast<float>(std::abs(self - other)) / static_cast<float>(fullScale);
    return Score{r < 0.2f ? 1.0f - r / 0.2f : 0.0f, 1.0f};
}

EntryComparison::Score EntryComparison::byteScore(int self, int other) {
    return Score{self == other ? 0.4f : 0.0f, 0.4f};
}

EntryComparison::Score EntryComparison::table3DScore(int selfRows, int selfColumns,
                                                     const int* selfCells, int otherRows,
                                                     int otherColumns, const int* otherCells) {
    if (selfRows != otherRows || selfColumns != otherColumns)
        return Score{0.0f, 0.4f};
    Score s{0.4f, 0.4f};
    const int cells = selfRows * selfColumns;
    const float cellWeight = 0.02f * static_cast<float>(selfColumns) * static_cast<float>(selfRows);
    for (int k = 0; k < cells; ++k) {
        const int a = selfCells[k], b = otherCells[k];
        const float d = static_cast<float>(std::abs(a - b)) / 256.0f;
        if (a == b)
            s.matched += 0.02f;
        else if (d < 0.15f)
            s.matched += 0.1f;
        s.total += cellWeight;
    }
    return s;
}

float EntryComparison::finish(Score s, bool sameBase, std::int32_t selfAddress,
                              std::int32_t otherAddress) {
    if (sameBase) {
        const std::int64_t apart = std::llabs(std::int64_t{selfAddress} - otherAddress);
        s.matched += 1.0f - static_cast<float>(std::min<std::int64_t>(apart, 256)) / 256.0f;
        s.total += 1.0f;
    }
    return s.matched / s.total;
}

// ---------------------------------------------------------------- CalEntry

float CalEntry::CurveDifference(CalEntry& other) {
    // Bytes outside the image mean nothing: such a curve is as unlike as can be.
    if (!inImage() || !other.inImage())
        return 1.0f;
    const TypeOverride otherAs(
        other, other.type == EntryType::Signed8Table ? EntryType::Unsigned8Table : other.type);
    return EntryComparison::curveDifference(EntryComparison::sampleCurve(*this),
                                            EntryComparison::sampleCurve(other), RawFullScale());
}

float CalEntry::Similarity(CalEntry& other) {
    using C = EntryComparison;
    const auto common = C::commonTypes(type, other.type);
    if (!common)
        return 0.0f;
    const TypeOverride selfAs(*this, common->self);
    const TypeOverride otherAs(other, common->other);
    // An entry reaching past the image (a stray operand, another image size) is
    // never taken for its partner.
    if (!inImage() || !other.inImage())
        return 0.0f;
    C::Score s;
    switch (common->self) {
    case EntryType::Unsigned8Table:
    case EntryType::Unsigned16Table:
        s = C::tableScore(PointCount(), other.PointCount(), CurveDifference(other));
        break;
    case EntryType::Constant8:
    case EntryType::Constant16:
        s = C::constantScore(GetX(0), other.GetX(0), RawFullScale());
        break;
    case EntryType::FlagByte:
    case EntryType::ValueList:
        s = C::byteScore(byteAt(0), other.byteAt(0));
        break;
    case EntryType::Table3D: {
        const std::vector<int> mine = cellsOf(*this), theirs = cellsOf(other);
        s = C::table3DScore(Rows(), Columns(), mine.data(), other.Rows(), other.Columns(),
                            theirs.data());
        break;
    }
    default:
        return 0.0f;
    }
    return C::finish(s, owner()->baseAddress == other.owner()->baseAddress, address, other.address);
}

} // namespace tevra
