#pragma once

#include "EntryType.h"

#include <array>
#include <cstdint>
#include <string>

namespace tevra {

class Calibration;

// One definition: what lies at an address of the owner's image and how to read it.
// Every read and edit of table bytes goes through these operations. Bytes are
// reached through the owner's image with bounds checks: a byte outside the image
// reads as 0xFF (erased memory) and a write to it is dropped, so an entry that
// lies partly or wholly outside the image can never touch memory beyond it.
class CalEntry {
public:
    explicit CalEntry(Calibration* owner);

    // ---- the record, in definition-file order ----
    EntryType type = EntryType::Unknown;
    std::string name = "New Table";
    std::int32_t address = 0xC000;
    std::string xName = "IN";
    std::string xMin = "0";
    std::string xMax = "256";
    std::string xUnit = "X";
    std::string yName = "OUT";
    std::string yMin = "0";
    std::string yMax = "256";
    std::string yUnit = "Y";
    std::string chryslerName = "NAME";
    std::string description = "Description";
    bool userFlag = false;
    std::array<std::string, 8> itemNames{"Unused", "Unused", "Unused", "Unused",
                                         "Unused", "Unused", "Unused", "Unused"};
    std::array<std::int32_t, 8> itemValues{};
    bool matched = false; // transient mark of cross-identification

    Calibration* owner() const { return owner_; }

    // ---- data position ----
    // True once Relocate or the owner's SetImage has positioned the entry.
    bool hasData() const;
    // Offset of the entry's first byte from the start of the owner's image.
    std::int64_t dataOffset() const { return dataOffset_; }
    void Relocate(std::int32_t a);
    // Re-point after the owner's image or base changed (called by the owner).
    void reposition();

    // Byte k of the entry (k counted from `address`): 0..255, 0xFF outside the image.
    int byteAt(std::int64_t k) const;
    // True when bytes k..k+n-1 all lie inside the image.
    bool bytesInImage(std::int64_t k, std::int64_t n) const;
    // True when every byte the entry's layout needs lies inside the image.
    bool inImage() const;

    // ---- reading ----
    int PointCount() const;
    int GetX(int i) const;
    int GetY(int i) const;
    int GetSlope(int i) const;
    int Columns() const;
    int Rows() const;
    bool cellsSigned() const;
    int GetCell(int c, int r) const;
    int RawFullScale() const;
    int Interpolate(int x) const;
    float XToEng(int raw) const;
    float YToEng(int raw) const;
    int YDeltaToRaw(float e) const;
    // The raw values whose XToEng / YToEng lie nearest to an engineering value
    // (not clamped: the writes clamp). An axis without extent maps everything to
    // the raw value of its minimum.
    int XToRaw(float eng) const;
    int YToRaw(float eng) const;
    // A constant's value as its bar shows it: the Y range spread over the full
    // raw scale (0..255 or 0..65535), and back to the nearest raw value.
    float ConstantToEng(int raw) const;
    int ConstantToRaw(float eng) const;
    int NearestPoint(float fx, float fy) const;

    // The axis ranges parsed by the number-prefix rule.
    float xMinValue() const;
    float xMaxValue() const;
    float yMinValue() const;
    float yMaxValue() const;

    // ---- low-level writes (no read-only check, no modified flag) ----
    void SetX(int i, int v, bool checkOrder);
    void SetY(int i, int v, bool checkOrder);
    void SetSlope(int i, int v);
    void RecomputeSlopes();
    // Stores one raw byte at offset k (dropped outside the image).
    void setByte(std::int64_t k, int v);

    // ---- edit operations (ignored while the owner is read-only) ----
    // False while edits are ignored: a read-only owner, or bytes outside the image.
    bool editable() const;
    void OffsetPoint(int i, int dx, int dy);
    void AddY(int i, int d);
    void SetPointY(int i, int v);
    void ScalePoint(int i, float fx, float fy);
    void DragPoint(int i, float fx, float fy, bool moveX);
    void AddToAll(float e);
    void SetAll(float e);
    void ScaleAll(float fx, float fy);
    void AddToCell(int c, int r, int d);
    // One raw step of a Constant8 or Constant16 (d = +1 or -1); the value stops at
    // 0 and at 0xFF or 0xFFFF, and a step that would pass an end changes nothing.
    void StepConstant(int d);
    // Item k of a FlagByte (inverts bit k) or a ValueList (stores value k). Items
    // named "unused" (any letter case) are not offered and change nothing.
    void ToggleItem(int k);
    // A typed value for one point, checked like a keyboard nudge: X must stay
    // between its neighbours, a 16-bit table's Y too; the value is clamped to
    // the byte range. On the 16-bit end point Y sets the extrapolation slope,
    // kept within 0..65535 instead of wrapping. Slopes follow.
    void EnterX(int i, int raw);
    void EnterY(int i, int raw);
    // One 3D cell, clamped to the cell range.
    void SetCell(int c, int r, int v);
    // Modify All Points on a Table3D: every cell at once, each result clamped to
    // the cell range (signed or unsigned). Values are raw cell counts, as the grid
    // shows them: a 3D entry has no range for its cells to convert from.
    void ScaleCells(float fz);
    void SetAllCells(float v);
    void AddToAllCells(float d);

    // ---- comparison (table scan) ----
    float CurveDifference(CalEntry& other);
    float Similarity(CalEntry& other);

private:
    bool isEndPoint(int i) const; // the virtual end point of a 16-bit table
    int word(std::int64_t k) const;
    void setWord(std::int64_t k, int v);
    template <typename Change> void changeEveryCell(Change change);

    Calibration* owner_;
    std::int64_t dataOffset_ = 0;
    bool positioned_ = false;
    // Point-count cache, valid for the type and address it was computed under.
    mutable int cachedCount_ = -1;
    mutable EntryType cachedType_ = EntryType::Unknown;
    mutable std::int32_t cachedAddress_ = 0;
};

} // namespace tevra
