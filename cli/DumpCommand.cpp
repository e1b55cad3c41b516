// tevra-cli dump --json: the calibration as the editor opens it, as one JSON object.
#include "CliSupport.h"
#include "JsonWriter.h"
#include "TextRules.h"

#include <iostream>

namespace tevra::cli {
namespace {

void writeTableEntry(JsonWriter& j, const CalEntry& e) {
    const int p = e.PointCount();
    j.key("pointCount");
    j.value(p);
    j.key("points");
    j.beginArray();
    for (int i = 0; i < p; ++i) {
        const int x = e.GetX(i), y = e.GetY(i), slope = e.GetSlope(i);
        j.beginObject();
        j.key("x");
        j.value(x);
        j.key("y");
        j.value(y);
        j.key("slope");
        if (slope == -1)
            j.null();
        else
            j.value(slope);
        j.key("xEng");
        j.value(e.XToEng(x));
        j.key("yEng");
        j.value(e.YToEng(y));
        j.endObject();
    }
    j.endArray();
}

void writeEntry(JsonWriter& j, int slot, const CalEntry& e) {
    j.beginObject();
    j.key("slot");
    j.value(slot);
    auto str = [&](const char* k, const std::string& v) {
        j.key(k);
        j.value(v);
    };
    str("name", e.name);
    j.key("type");
    j.value(static_cast<int>(e.type));
    const char* typeText = entryTypeText(e.type);
    str("typeText", typeText ? typeText : "");
    j.key("address");
    j.value(e.address);
    str("xName", e.xName);
    str("xMin", e.xMin);
    str("xMax", e.xMax);
    str("xUnit", e.xUnit);
    str("yName", e.yName);
    str("yMin", e.yMin);
    str("yMax", e.yMax);
    str("yUnit", e.yUnit);
    str("chryslerName", e.chryslerName);
    str("description", e.description);
    j.key("userFlag");
    j.value(e.userFlag);
    j.key("itemNames");
    j.beginArray();
    for (const auto& n : e.itemNames)
        j.value(n);
    j.endArray();
    j.key("itemValues");
    j.beginArray();
    for (int v : e.itemValues)
        j.value(v);
    j.endArray();
    const bool inside = e.inImage();
    j.key("inImage");
    j.value(inside);
    if (inside) {
        switch (e.type) {
        case EntryType::Unsigned8Table:
        case EntryType::Unsigned16Table:
        case EntryType::Signed8Table:
            writeTableEntry(j, e);
            break;
        case EntryType::Constant8:
        case EntryType::Constant16: {
            const int v = e.GetX(0);
            j.key("value");
            j.value(v);
            j.key("valueEng");
            j.value(e.YToEng(v));
            break;
        }
        case EntryType::FlagByte:
        case EntryType::ValueList:
            j.key("byte");
            j.value(e.byteAt(0));
            break;
        case EntryType::Table3D: {
            const int rows = e.Rows(), cols = e.Columns();
            j.key("rows");
            j.value(rows);
            j.key("columns");
            j.value(cols);
            j.key("signed");
            j.value(e.cellsSigned());
            j.key("cells");
            j.beginArray();
            for (int r = 0; r < rows; ++r) {
                j.beginArray();
                for (int c = 0; c < cols; ++c)
                    j.value(e.GetCell(c, r));
                j.endArray();
            }
            j.endArray();
            break;
        }
        default:
            break;
        }
    }
    j.endObject();
}

std::string toJson(const Calibration& cal) {
    JsonWriter j;
    j.beginObject();
    j.key("imagePath");
    j.value(cal.imagePath);
    j.key("definitionPath");
    j.value(cal.definitionPath);
    j.key("baseAddress");
    j.value(cal.baseAddress);
    j.key("imageLength");
    j.value(cal.imageLength());
    j.key("crc32");
    j.value(text::formatHex(cal.ImageCrc32(), 8));
    j.key("description");
    j.value(cal.description);
    j.key("author");
    j.value(cal.author);
    j.key("injectorSize");
    j.value(cal.injectorSize);
    j.key("maxBoost");
    j.value(cal.maxBoost);
    j.key("mapType");
    j.value(cal.mapType);
    j.key("checksum");
    j.beginObject();
    j.key("enabled");
    j.value(cal.checksumEnabled);
    j.key("address");
    j.value(cal.checksumAddress);
    j.key("fixup");
    j.value(cal.fixupAddress);
    j.endObject();
    j.key("entries");
    j.beginArray();
    for (int i = 0; i < cal.entryCount(); ++i)
        if (const CalEntry* e = cal.EntryAt(i))
            writeEntry(j, i, *e);
    j.endArray();
    j.endObject();
    return j.str();
}

int run(const std::vector<std::string>& words) {
    auto flags = kOpenFlags;
    flags.insert("--json");
    Args args(words, kOpenValued, flags);
    if (args.positional().size() != 1)
        throw UsageProblem{"expected one IMAGE"};
    if (!args.has("--json"))
        throw UsageProblem{"the dump is written as JSON: add --json"};
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    std::cout << toJson(opened.calibration) << "\n";
    return Success;
}

const CommandRegistration registration{{"dump", "dump IMAGE --json [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
