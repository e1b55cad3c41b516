#pragma once

namespace tevra {

class CalEntry;

// What Modify All Points is opened with and returns.
struct ScaleValues {
    enum Mode { Scale = 0, Flatten = 1, Add = 2 };
    int mode = Scale;
    float xPercent = 100.0f; // 0..500
    float yPercent = 100.0f; // 0..500
    float zPercent = 100.0f; // 0..500, 3D tables only
    float flattenValue = 100.0f;
    float addValue = 0.0f;
};

// Runs the chosen operation on every point of the entry: ScaleAll with the X and
// Y percentages, SetAll or AddToAll for 2D tables and constants; for a 3D table
// the Z percentage scales every cell and the flatten and add values are raw cell
// counts. The entry's own operations do the read-only and bounds checks.
void applyScaleValues(CalEntry& entry, const ScaleValues& values);

} // namespace tevra
