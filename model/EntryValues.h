#pragma once

#include "ValueBlock.h"

#include <string>
#include <vector>

namespace tevra {

class CalEntry;

// The values of one entry seen as a grid of numbers, as the values view shows
// and edits them: a 2D table has a row per point with its X (column 0) and Y
// (column 1) in engineering units, a 3D table its cells (raw counts: a grid has
// no range to convert them with), a constant one value as its bar shows it.
// Flag bytes, value lists and unknown entries have no values here.
//
// Every edit goes through the entry's operations, so it is ignored on a
// read-only calibration and marks the image modified like an edit in the graph.
// Typed engineering values become the nearest raw value and are clamped by the
// entry's writes. The edits of a selection change the Y values of a 2D table
// (never X, whose order they could break) and every cell of a 3D block.
class EntryValues {
public:
    explicit EntryValues(CalEntry& entry) : entry_(entry) {}

    int columns() const;
    int rows() const;
    // False for the 16-bit table's end point X, which is always 255.
    bool editableAt(int column, int row) const;
    int raw(int column, int row) const;
    double eng(int column, int row) const;
    int toRaw(int column, double eng) const;
    // Decimals that show every raw step of the column as its own number.
    int decimals(int column) const;

    // One typed value: stored as the nearest raw value, clamped, and refused
    // like a keyboard nudge when it would break the order of the points.
    void enter(int column, int row, double eng);

    // Edits of a selection; each is ignored outside the grid.
    void step(const ValueBlock& block, int rawStep);
    void add(const ValueBlock& block, double amount);
    void set(const ValueBlock& block, double value);
    void scale(const ValueBlock& block, double percent);
    // Straight lines between the ends of a range of points (by X) or of a row or
    // column of cells, planes through the four corners of a block of cells.
    // False when the block holds a single value.
    bool interpolate(const ValueBlock& block);

    // The engineering values of a block, row by row.
    std::vector<std::vector<double>> values(const ValueBlock& block) const;
    // Stores a block of values with its top-left value at (column, row). Either
    // all of it is stored or nothing: the error text says why not.
    std::string paste(int column, int row, const std::vector<std::vector<double>>& values);

private:
    struct Target {
        int column;
        int row;
        int raw;
    };
    std::vector<Target> targets(const ValueBlock& block) const;
    template <typename Change> void changeEach(const ValueBlock& block, Change change);
    void write(const std::vector<Target>& changes);
    void writeRaw(int column, int row, int raw);
    bool xOrderKept(int row0, const std::vector<int>& xs) const;

    CalEntry& entry_;
};

} // namespace tevra
