#include "BinaryListing.h"

#include "CalEntry.h"
#include "Calibration.h"

#include <cstdint>

namespace tevra::binaryListing {

namespace {

QString byteWithValue(int raw, float eng) {
    return QString::asprintf("%2.2X (%.2f)", raw, static_cast<double>(eng));
}

QString wordWithValue(int raw, float eng, const char* format) {
    return QString::asprintf(format, raw, static_cast<double>(eng));
}

float xValue(const CalEntry& e, int x) {
    const float lo = e.xMinValue(), hi = e.xMaxValue();
    return lo + (hi - lo) * static_cast<float>(x) / 256.0f;
}

void eightBitRows(const CalEntry& e, std::vector<TableRow>& rows) {
    const float lo = e.yMinValue(), hi = e.yMaxValue();
    const bool isSigned = e.type == EntryType::Signed8Table;
    const int count = e.byteAt(0);
    for (int i = 0; i < count; ++i) {
        const std::int64_t at = 1 + 4 * std::int64_t{i};
        if (!e.bytesInImage(at, 2))
            break;
        const int x = e.byteAt(at);
        const int y = e.byteAt(at + 1);
        const int y256 = isSigned ? static_cast<std::int8_t>(y) + 128 : y;
        TableRow row{byteWithValue(x, xValue(e, x)),
                     byteWithValue(y, lo + (hi - lo) * static_cast<float>(y256) / 256.0f),
                     {}};
        if (i < count - 1 && e.bytesInImage(at + 2, 2)) {
            const int slope = (e.byteAt(at + 2) << 8) | e.byteAt(at + 3);
            const float perStep = static_cast<float>(static_cast<std::int16_t>(slope)) / 256.0f;
            row.slope = wordWithValue(slope, perStep, "%4.4X (%.3f)");
        }
        rows.push_back(std::move(row));
    }
}

void sixteenBitRows(const CalEntry& e, std::vector<TableRow>& rows) {
    const float lo = e.yMinValue(), hi = e.yMaxValue();
    for (std::int64_t at = 0; e.bytesInImage(at, 5) && e.byteAt(at) != 0xFF; at += 5) {
        const int x = e.byteAt(at);
        const int y = (e.byteAt(at + 1) << 8) | e.byteAt(at + 2);
        const int slope = (e.byteAt(at + 3) << 8) | e.byteAt(at + 4);
        rows.push_back(
            {byteWithValue(x, xValue(e, x)),
             wordWithValue(y, lo + (hi - lo) * static_cast<float>(y) / 12287.0f, "%4.4X (%.2f)"),
             wordWithValue(slope, static_cast<float>(slope) / 256.0f, "%4.4X (%.3f)")});
    }
}

} // namespace

std::vector<TableRow> tableRows(const CalEntry& entry) {
    std::vector<TableRow> rows;
    switch (entry.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        eightBitRows(entry, rows);
        break;
    case EntryType::Unsigned16Table:
        sixteenBitRows(entry, rows);
        break;
    default:
        break;
    }
    return rows;
}

QStringList hexRows(const CalEntry& entry) {
    const Calibration& cal = *entry.owner();
    const std::int64_t imageStart = cal.baseAddress;
    const std::int64_t imageEnd = imageStart + (cal.hasImage() ? cal.imageLength() : 0);
    QStringList rows;
    std::int64_t a = entry.address;
    for (int r = 0; r < 16 && a <= 0xFFFF; ++r) {
        QString text = QString::asprintf("%4.4X: ", static_cast<unsigned>(a));
        for (int k = 0; k < 16 && a <= 0xFFFF; ++k) {
            if (a >= imageEnd)
                continue; // past the end: the address stays, the row stays short
            text += a < imageStart ? QStringLiteral("-- ")
                                   : QString::asprintf("%2.2X ", entry.byteAt(a - entry.address));
            ++a;
        }
        rows << text;
    }
    return rows;
}

} // namespace tevra::binaryListing
