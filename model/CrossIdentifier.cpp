#include "CrossIdentifier.h"

#include "Calibration.h"
#include "EntryComparison.h"
#include "EntryProfile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace tevra {

namespace {

using C = EntryComparison;

// A candidate cell packed so that ascending order of the key is descending score,
// then ascending other slot, then ascending own slot. Candidates are strictly
// above a threshold of at least 0, so scores are positive and their bit patterns
// order like the numbers.
constexpr int kSlotBits = 10;
static_assert(Calibration::kMaxEntries <= (1 << kSlotBits));

std::uint64_t packCell(float score, int self, int other) {
    const std::uint32_t descending = ~std::bit_cast<std::uint32_t>(score);
    return (std::uint64_t{descending} << (2 * kSlotBits)) |
           (std::uint64_t(static_cast<std::uint32_t>(other)) << kSlotBits) |
           static_cast<std::uint32_t>(self);
}

float cellScore(std::uint64_t key) {
    return std::bit_cast<float>(~static_cast<std::uint32_t>(key >> (2 * kSlotBits)));
}
int cellOther(std::uint64_t key) {
    return static_cast<int>((key >> kSlotBits) & ((1u << kSlotBits) - 1));
}
int cellSelf(std::uint64_t key) {
    return static_cast<int>(key & ((1u << kSlotBits) - 1));
}

// The score CalEntry::Similarity gives, from the two profiles. Only called for
// pairs whose types can match.
float pairScore(const EntryProfile& a, const EntryProfile& b, EntryType as, bool sameBase) {
    C::Score s;
    switch (as) {
    case EntryType::Unsigned8Table:
    case EntryType::Unsigned16Table:
        if (!a.tableInImage || !b.tableInImage)
            return 0.0f;
        s = C::tableScore(a.pointCount, b.pointCount,
                          C::curveDifference(a.curve, b.curve, a.tableFullScale));
        break;
    case EntryType::Constant8:
        if (!a.byteInImage || !b.byteInImage)
            return 0.0f;
        s = C::constantScore(a.byteValue, b.byteValue, a.byteFullScale);
        break;
    case EntryType::Constant16:
        if (!a.wordInImage || !b.wordInImage)
            return 0.0f;
        s = C::constantScore(a.wordValue, b.wordValue, a.wordFullScale);
        break;
    case EntryType::FlagByte:
    case EntryType::ValueList:
        if (!a.byteInImage || !b.byteInImage)
            return 0.0f;
        s = C::byteScore(a.byteValue, b.byteValue);
        break;
    case EntryType::Table3D:
        if (!a.cellsInImage || !b.cellsInImage)
            return 0.0f;
        s = C::table3DScore(a.rows, a.columns, a.cells.data(), b.rows, b.columns, b.cells.data());
        break;
    default:
        return 0.0f;
    }
    return C::finish(s, sameBase, a.address, b.address);
}

struct Slot {
    int index;
    EntryProfile profile;
};

// The other types an entry of type t can be paired with; all other pairs score 0.
struct Partners {
    std::array<EntryType, 4> types{};
    std::size_t count = 0;
    const EntryType* begin() const { return types.data(); }
    const EntryType* end() const { return types.data() + count; }
};

Partners partnerTypes(EntryType t) {
    switch (t) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        return {{EntryType::Unsigned8Table, EntryType::Signed8Table}, 2};
    case EntryType::Unknown:
        return {{EntryType::Constant8, EntryType::Constant16, EntryType::FlagByte,
                 EntryType::ValueList},
                4};
    case EntryType::Unsigned16Table:
    case EntryType::Constant8:
    case EntryType::Constant16:
    case EntryType::FlagByte:
    case EntryType::ValueList:
    case EntryType::Table3D:
        return {{t}, 1};
    default:
        return {};
    }
}

bool isKnownType(EntryType t) {
    const int v = static_cast<int>(t);
    return v >= 0 && v < kEntryTypeCount;
}

} // namespace

std::vector<CrossIdentifier::Match>
CrossIdentifier::findMatches(Calibration& self, Calibration& other, float threshold) {
    threshold = std::max(threshold, 0.0f);
    const bool sameBase = self.baseAddress == other.baseAddress;

    // The other's entries by type, in slot order; each curve is sampled once.
    std::array<std::vector<Slot>, kEntryTypeCount> othersByType;
    for (int j = 0; j < other.entryCount(); ++j)
        if (CalEntry* e = other.EntryAt(j); e && isKnownType(e->type))
            othersByType[static_cast<std::size_t>(e->type)].push_back({j, EntryProfile::of(*e)});

    std::vector<std::uint64_t> candidates;
    for (int i = 0; i < self.entryCount(); ++i) {
        CalEntry* e = self.EntryAt(i);
        if (!e || !isKnownType(e->type))
            continue;
        const EntryProfile mine = EntryProfile::of(*e);
        for (EntryType t : partnerTypes(e->type)) {
            const auto as = C::commonTypes(e->type, t);
            if (!as)
                continue;
            for (const Slot& theirs : othersByType[static_cast<std::size_t>(t)]) {
                const float s = pairScore(mine, theirs.profile, as->self, sameBase);
                if (s > threshold)
                    candidates.push_back(packCell(s, i, theirs.index));
            }
        }
    }
    std::sort(candidates.begin(), candidates.end());

    std::vector<Match> matches;
    std::vector<bool> selfTaken(static_cast<std::size_t>(self.entryCount()));
    std::vector<bool> otherTaken(static_cast<std::size_t>(other.entryCount()));
    for (const std::uint64_t key : candidates) {
        const int i = cellSelf(key), j = cellOther(key);
        if (selfTaken[static_cast<std::size_t>(i)] || otherTaken[static_cast<std::size_t>(j)])
            continue;
        const float s = cellScore(key);
        matches.push_back({i, j, s});
        selfTaken[static_cast<std::size_t>(i)] = true;
        otherTaken[static_cast<std::size_t>(j)] = true;
        // A pick at or below one half ends the search even when the threshold
        // let it through.
        if (!(s > 0.5f))
            break;
    }
    return matches;
}

void CrossIdentifier::identify(Calibration& self, Calibration& other, float threshold) {
    for (const Match& m : findMatches(self, other, threshold)) {
        CalEntry* theirs = other.EntryAt(m.other);
        copyDefinition(*theirs, *self.EntryAt(m.self));
        theirs->matched = true;
    }
    addConstants(self, other);
}

void CrossIdentifier::addConstants(Calibration& self, Calibration& other) {
    for (int j = 0; j < other.entryCount(); ++j) {
        CalEntry* theirs = other.EntryAt(j);
        if (!theirs || theirs->matched)
            continue;
        if (!isConstant(theirs->type) && theirs->type != EntryType::FlagByte &&
            theirs->type != EntryType::ValueList)
            continue;
        if (self.FindByAddress(theirs->address, nullptr))
            continue;
        CalEntry* mine = self.NewEntry();
        if (!mine)
            return;
        mine->Relocate(theirs->address);
        if (mine->Similarity(*theirs) < 0.9f)
            self.DeleteEntry(mine);
        else
            copyDefinition(*theirs, *mine);
    }
}

void CrossIdentifier::copyDefinition(const CalEntry& from, CalEntry& to) {
    to.type = from.type;
    to.name = from.name;
    to.xName = from.xName;
    to.xMin = from.xMin;
    to.xMax = from.xMax;
    to.xUnit = from.xUnit;
    to.yName = from.yName;
    to.yMin = from.yMin;
    to.yMax = from.yMax;
    to.yUnit = from.yUnit;
    to.chryslerName = from.chryslerName;
    to.description = from.description;
    to.itemNames = from.itemNames;
    to.itemValues = from.itemValues;
}

} // namespace tevra
