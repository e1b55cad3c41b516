#pragma once

#include "CalEntry.h"
#include "EntryType.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tevra {

// The arithmetic of comparing two entries, shared by CalEntry::Similarity and by
// the bulk scoring of cross-identification, so that both give bit-identical
// figures: every float is computed by the same expressions in the same order.
class EntryComparison {
public:
    static constexpr int kSamples = 32; // curves are compared at x = 0, 8, ..., 248
    using Curve = std::array<int, kSamples>;

    // A matched score M over a total T; the similarity is M / T.
    struct Score {
        float matched = 0.0f;
        float total = 1.0f;
    };

    // The types the two entries are read as while they are compared, or nothing
    // when entries of these types never match.
    struct CommonTypes {
        EntryType self;
        EntryType other;
    };
    static std::optional<CommonTypes> commonTypes(EntryType self, EntryType other);

    // Interpolate at every sample x, under the entry's current type.
    static Curve sampleCurve(const CalEntry& e);
    // Largest sample difference relative to fullScale.
    static float curveDifference(const Curve& self, const Curve& other, int fullScale);

    static Score tableScore(int selfCount, int otherCount, float curveDifference);
    static Score constantScore(int self, int other, int fullScale);
    static Score byteScore(int self, int other);
    // Cells row by row, columns within a row.
    static Score table3DScore(int selfRows, int selfColumns, const int* selfCells, int otherRows,
                              int otherColumns, const int* otherCells);
    // Adds the address bonus (only between calibrations with the same base) and
    // returns M / T.
    static float finish(Score s, bool sameBase, std::int32_t selfAddress,
                        std::int32_t otherAddress);
};

// Reads an entry as another type for the length of a scope. The point-count
// cache is keyed by type and address, so nothing stale survives the switch.
class TypeOverride {
public:
    TypeOverride(CalEntry& e, EntryType as) : entry_(e), saved_(e.type) { e.type = as; }
    ~TypeOverride() { entry_.type = saved_; }
    TypeOverride(const TypeOverride&) = delete;
    TypeOverride& operator=(const TypeOverride&) = delete;

private:
    CalEntry& entry_;
    EntryType saved_;
};

} // namespace tevra
