#include "EntryProfile.h"

namespace tevra {

EntryProfile EntryProfile::of(CalEntry& e) {
    EntryProfile p;
    p.type = e.type;
    p.address = e.address;
    switch (e.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        p.readTable(e, EntryType::Unsigned8Table);
        break;
    case EntryType::Unsigned16Table:
        p.readTable(e, EntryType::Unsigned16Table);
        break;
    case EntryType::Constant8:
    case EntryType::FlagByte:
    case EntryType::ValueList:
        p.readByte(e, e.type);
        break;
    case EntryType::Constant16:
        p.readWord(e);
        break;
    case EntryType::Table3D:
        p.readCells(e);
        break;
    case EntryType::Unknown:
        p.readByte(e, EntryType::Constant8);
        p.readWord(e);
        break;
    default:
        break;
    }
    return p;
}

void EntryProfile::readTable(CalEntry& e, EntryType as) {
    const TypeOverride read(e, as);
    tableInImage = e.inImage();
    if (!tableInImage)
        return;
    pointCount = e.PointCount();
    tableFullScale = e.RawFullScale();
    curve = EntryComparison::sampleCurve(e);
}

void EntryProfile::readByte(CalEntry& e, EntryType as) {
    const TypeOverride read(e, as);
    byteInImage = e.inImage();
    // Flag bytes and value lists compare the raw byte, which is what an 8-bit
    // constant reads as.
    byteValue = e.byteAt(0);
    const TypeOverride asConstant(e, EntryType::Constant8);
    byteFullScale = e.RawFullScale();
}

void EntryProfile::readWord(CalEntry& e) {
    const TypeOverride read(e, EntryType::Constant16);
    wordInImage = e.inImage();
    wordValue = e.GetX(0);
    wordFullScale = e.RawFullScale();
}

void EntryProfile::readCells(CalEntry& e) {
    cellsInImage = e.inImage();
    if (!cellsInImage)
        return;
    rows = e.Rows();
    columns = e.Columns();
    cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            cells.push_back(e.GetCell(c, r));
}

} // namespace tevra
