#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tevra {

class CalEntry;

// The texts of the Binary Table View, read through the entry's bounds-checked
// accessors: nothing outside the owner's image is ever shown as if it were there.
namespace binaryListing {

struct TableRow {
    QString compare; // the X the controller compares its input with
    QString result;  // the Y it returns
    QString slope;   // the stored segment slope; empty for the last 8-bit point
};

// One row per stored point of a 2D table, none for other types. Rows stop where
// a record leaves the image.
std::vector<TableRow> tableRows(const CalEntry& entry);

// The hex dump of up to 256 bytes from the entry's address: up to 16 rows of up
// to 16 bytes while the address stays within 0xFFFF. Past the image end the rows
// keep the address and show no bytes; bytes below the image start show "--".
QStringList hexRows(const CalEntry& entry);

} // namespace binaryListing

} // namespace tevra
