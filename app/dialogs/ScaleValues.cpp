#include "ScaleValues.h"

#include "CalEntry.h"

namespace tevra {

void applyScaleValues(CalEntry& entry, const ScaleValues& v) {
    const bool grid = entry.type == EntryType::Table3D;
    switch (v.mode) {
    case ScaleValues::Scale:
        if (grid)
            entry.ScaleCells(v.zPercent / 100.0f);
        else
            entry.ScaleAll(v.xPercent / 100.0f, v.yPercent / 100.0f);
        break;
    case ScaleValues::Flatten:
        if (grid)
            entry.SetAllCells(v.flattenValue);
        else
            entry.SetAll(v.flattenValue);
        break;
    case ScaleValues::Add:
        if (grid)
            entry.AddToAllCells(v.addValue);
        else
            entry.AddToAll(v.addValue);
        break;
    default:
        break;
    }
}

} // namespace tevra
