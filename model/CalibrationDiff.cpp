#include "CalibrationDiff.h"

#include "CalEntry.h"
#include "Calibration.h"
#include "EntryExtent.h"
#include "TextRules.h"

#include <algorithm>
#include <unordered_map>

namespace tevra {

namespace {

using Change = CalibrationDiff::Change;
using Kind = CalibrationDiff::Kind;

std::string typeText(EntryType t) {
    const char* s = entryTypeText(t);
    return s ? s : std::to_string(static_cast<int>(t));
}

void compareField(std::vector<Change>& out, const char* field, const std::string& a,
                  const std::string& b) {
    if (a == b)
        return;
    Change c;
    c.kind = Kind::Definition;
    c.field = field;
    c.oldText = a;
    c.newText = b;
    out.push_back(std::move(c));
}

void compareDefinitions(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    compareField(out, "name", a.name, b.name);
    compareField(out, "type", typeText(a.type), typeText(b.type));
    compareField(out, "address", text::formatHex(static_cast<std::uint32_t>(a.address)),
                 text::formatHex(static_cast<std::uint32_t>(b.address)));
    compareField(out, "xName", a.xName, b.xName);
    compareField(out, "xMin", a.xMin, b.xMin);
    compareField(out, "xMax", a.xMax, b.xMax);
    compareField(out, "xUnit", a.xUnit, b.xUnit);
    compareField(out, "yName", a.yName, b.yName);
    compareField(out, "yMin", a.yMin, b.yMin);
    compareField(out, "yMax", a.yMax, b.yMax);
    compareField(out, "yUnit", a.yUnit, b.yUnit);
    compareField(out, "chryslerName", a.chryslerName, b.chryslerName);
    compareField(out, "description", a.description, b.description);
    if (a.type != EntryType::FlagByte && a.type != EntryType::ValueList)
        return;
    for (std::size_t k = 0; k < 8; ++k) {
        const std::string n = "item " + std::to_string(k);
        compareField(out, (n + " name").c_str(), a.itemNames[k], b.itemNames[k]);
        if (a.type == EntryType::ValueList)
            compareField(out, (n + " value").c_str(), text::formatHex(a.itemValues[k], 2),
                         text::formatHex(b.itemValues[k], 2));
    }
}

CalibrationDiff::Side pointSide(const CalEntry& e, int i) {
    CalibrationDiff::Side s;
    if (i >= e.PointCount())
        return s;
    s.present = true;
    s.rawX = e.GetX(i);
    s.raw = e.GetY(i);
    s.x = e.XToEng(s.rawX);
    s.y = e.YToEng(s.raw);
    return s;
}

void comparePoints(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    const int pa = a.PointCount(), pb = b.PointCount();
    if (pa != pb) {
        Change c;
        c.kind = Kind::Shape;
        c.field = "points";
        c.before = {true, pa};
        c.after = {true, pb};
        out.push_back(c);
    }
    for (int i = 0; i < std::max(pa, pb); ++i) {
        Change c;
        c.index = i;
        c.before = pointSide(a, i);
        c.after = pointSide(b, i);
        if (c.before.present && c.after.present && c.before.rawX == c.after.rawX &&
            c.before.raw == c.after.raw) {
            const int sa = a.GetSlope(i), sb = b.GetSlope(i);
            if (sa == sb)
                continue;
            c.kind = Kind::Slope;
            c.before.raw = sa;
            c.after.raw = sb;
        } else {
            c.kind = Kind::Point;
        }
        out.push_back(c);
    }
}

void compareConstant(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    const int va = a.GetX(0), vb = b.GetX(0);
    if (va == vb)
        return;
    Change c;
    c.kind = Kind::Value;
    c.before = {true, va, 0, 0, a.YToEng(va)};
    c.after = {true, vb, 0, 0, b.YToEng(vb)};
    out.push_back(c);
}

void compareFlags(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    const int va = a.byteAt(0), vb = b.byteAt(0);
    for (int k = 0; k < 8; ++k) {
        const int ba = (va >> k) & 1, bb = (vb >> k) & 1;
        if (ba == bb)
            continue;
        Change c;
        c.kind = Kind::Bit;
        c.index = k;
        c.field = a.itemNames[static_cast<std::size_t>(k)];
        c.before = {true, ba};
        c.after = {true, bb};
        out.push_back(c);
    }
}

std::string choiceName(const CalEntry& e, int v) {
    for (std::size_t k = 0; k < 8; ++k)
        if (e.itemValues[k] == v)
            return e.itemNames[k];
    return {};
}

void compareChoice(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    const int va = a.byteAt(0), vb = b.byteAt(0);
    if (va == vb)
        return;
    Change c;
    c.kind = Kind::Choice;
    c.before = {true, va};
    c.after = {true, vb};
    c.oldText = choiceName(a, va);
    c.newText = choiceName(b, vb);
    out.push_back(std::move(c));
}

void compareCells(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    auto shape = [&](const char* field, int va, int vb) {
        if (va == vb)
            return;
        Change c;
        c.kind = Kind::Shape;
        c.field = field;
        c.before = {true, va};
        c.after = {true, vb};
        out.push_back(c);
    };
    shape("rows", a.Rows(), b.Rows());
    shape("columns", a.Columns(), b.Columns());
    shape("signed", a.cellsSigned(), b.cellsSigned());
    // Cells are compared where both grids have one; a resized grid says so above.
    for (int r = 0; r < std::min(a.Rows(), b.Rows()); ++r)
        for (int col = 0; col < std::min(a.Columns(), b.Columns()); ++col) {
            const int va = a.GetCell(col, r), vb = b.GetCell(col, r);
            if (va == vb)
                continue;
            Change c;
            c.kind = Kind::Cell;
            c.column = col;
            c.row = r;
            c.before = {true, va};
            c.after = {true, vb};
            out.push_back(c);
        }
}

int differingBytes(const CalEntry& a, const CalEntry& b) {
    const EntryExtent xa = EntryExtent::of(a), xb = EntryExtent::of(b);
    const std::int64_t n = std::max(xa.length, xb.length);
    int count = 0;
    for (std::int64_t k = 0; k < n; ++k)
        if (k >= xa.length || k >= xb.length || a.byteAt(k) != b.byteAt(k))
            ++count;
    return count;
}

void compareBytes(std::vector<Change>& out, const CalEntry& a, const CalEntry& b) {
    if (const int n = differingBytes(a, b)) {
        Change c;
        c.kind = Kind::Bytes;
        c.before = {true, n};
        c.after = {true, n};
        out.push_back(c);
    }
}

std::string fixed1(float v) {
    return text::formatFixed(v, 1);
}

void compareSettings(std::vector<CalibrationDiff::Setting>& out, const Calibration& a,
                     const Calibration& b) {
    auto put = [&](const char* field, const std::string& va, const std::string& vb) {
        if (va != vb)
            out.push_back({field, va, vb});
    };
    auto hex = [](std::int32_t v) { return text::formatHex(static_cast<std::uint32_t>(v), 4); };
    put("baseAddress", hex(a.baseAddress), hex(b.baseAddress));
    put("imageLength", std::to_string(a.imageLength()), std::to_string(b.imageLength()));
    put("description", a.description, b.description);
    put("author", a.author, b.author);
    put("injectors", fixed1(a.injectorSize), fixed1(b.injectorSize));
    put("boost", fixed1(a.maxBoost), fixed1(b.maxBoost));
    put("map", fixed1(a.mapType), fixed1(b.mapType));
    auto checksum = [&](const Calibration& c) {
        return std::string(c.checksumEnabled ? "y " : "n ") + hex(c.checksumAddress) + " " +
               hex(c.fixupAddress);
    };
    put("checksum", checksum(a), checksum(b));
}

void markExtent(std::vector<bool>& covered, const CalEntry& e) {
    const EntryExtent x = EntryExtent::of(e);
    const std::int64_t n = static_cast<std::int64_t>(covered.size());
    for (std::int64_t k = std::max<std::int64_t>(0, x.offset); k < std::min(n, x.end()); ++k)
        covered[static_cast<std::size_t>(k)] = true;
}

std::vector<CalibrationDiff::ByteRange> bytesOutside(const Calibration& a, const Calibration& b) {
    const auto& ia = a.image();
    const auto& ib = b.image();
    const std::size_t n = std::max(ia.size(), ib.size());
    std::vector<bool> covered(n);
    for (const Calibration* cal : {&a, &b})
        for (int i = 0; i < cal->entryCount(); ++i)
            if (const CalEntry* e = cal->EntryAt(i))
                markExtent(covered, *e);
    std::vector<CalibrationDiff::ByteRange> ranges;
    for (std::size_t k = 0; k < n; ++k) {
        const bool differs = k >= ia.size() || k >= ib.size() || ia[k] != ib[k];
        if (!differs || covered[k])
            continue;
        const auto address = static_cast<std::int32_t>(a.baseAddress + std::int64_t(k));
        if (!ranges.empty() && ranges.back().last + 1 == address)
            ranges.back().last = address;
        else
            ranges.push_back({address, address});
    }
    return ranges;
}

CalibrationDiff::LoneEntry lone(const CalEntry& e) {
    return {e.name, e.type, e.address};
}

} // namespace

std::vector<Change> CalibrationDiff::compareEntries(const CalEntry& a, const CalEntry& b) {
    std::vector<Change> out;
    compareDefinitions(out, a, b);
    const bool ia = EntryExtent::of(a).complete, ib = EntryExtent::of(b).complete;
    if (ia != ib) {
        Change c;
        c.kind = Kind::Outside;
        c.oldText = ia ? "inside" : "outside";
        c.newText = ib ? "inside" : "outside";
        out.push_back(std::move(c));
    }
    // Bytes outside an image mean nothing: what lies inside is not compared then.
    if (!ia || !ib)
        return out;
    if (a.type != b.type) {
        compareBytes(out, a, b);
        return out;
    }
    switch (a.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Unsigned16Table:
    case EntryType::Signed8Table:
        comparePoints(out, a, b);
        break;
    case EntryType::Constant8:
    case EntryType::Constant16:
        compareConstant(out, a, b);
        break;
    case EntryType::FlagByte:
        compareFlags(out, a, b);
        break;
    case EntryType::ValueList:
        compareChoice(out, a, b);
        break;
    case EntryType::Table3D:
        compareCells(out, a, b);
        break;
    default:
        compareBytes(out, a, b);
        break;
    }
    return out;
}

bool CalibrationDiff::bytesDiffer(const CalEntry& a, const CalEntry& b) {
    return differingBytes(a, b) > 0;
}

const CalEntry* CalibrationDiff::partnerIn(const Calibration& comparison, const CalEntry& e) {
    return comparison.hasImage() ? comparison.FindByName(e.name, nullptr) : nullptr;
}

bool CalibrationDiff::differsFrom(const Calibration& comparison, const CalEntry& e) {
    const CalEntry* partner = partnerIn(comparison, e);
    return partner && bytesDiffer(e, *partner);
}

CalibrationDiff::Result CalibrationDiff::compare(const Calibration& a, const Calibration& b) {
    Result r;
    compareSettings(r.settings, a, b);

    std::vector<bool> pairedB(static_cast<std::size_t>(b.entryCount()));
    std::unordered_map<std::string, std::vector<int>> byName;
    std::unordered_map<std::int32_t, std::vector<int>> byAddress;
    for (int j = 0; j < b.entryCount(); ++j)
        if (const CalEntry* e = b.EntryAt(j)) {
            byName[text::toLowerAscii(e->name)].push_back(j);
            byAddress[e->address].push_back(j);
        }
    auto take = [&](const std::vector<int>* slots) -> const CalEntry* {
        if (!slots)
            return nullptr;
        for (int j : *slots)
            if (!pairedB[static_cast<std::size_t>(j)]) {
                pairedB[static_cast<std::size_t>(j)] = true;
                return b.EntryAt(j);
            }
        return nullptr;
    };
    auto find = [](auto& map, const auto& key) {
        auto it = map.find(key);
        return it == map.end() ? nullptr : &it->second;
    };

    // Names first, then what is left by address.
    std::vector<std::pair<const CalEntry*, const CalEntry*>> pairs;
    std::vector<const CalEntry*> unpairedA;
    for (int i = 0; i < a.entryCount(); ++i)
        if (const CalEntry* e = a.EntryAt(i)) {
            if (const CalEntry* partner = take(find(byName, text::toLowerAscii(e->name))))
                pairs.emplace_back(e, partner);
            else
                unpairedA.push_back(e);
        }
    for (const CalEntry* e : unpairedA) {
        if (const CalEntry* partner = take(find(byAddress, e->address)))
            pairs.emplace_back(e, partner);
        else
            r.onlyInA.push_back(lone(*e));
    }
    for (int j = 0; j < b.entryCount(); ++j)
        if (const CalEntry* e = b.EntryAt(j); e && !pairedB[static_cast<std::size_t>(j)])
            r.onlyInB.push_back(lone(*e));

    for (const auto& [ea, eb] : pairs) {
        std::vector<Change> changes = compareEntries(*ea, *eb);
        if (changes.empty())
            continue;
        r.entries.push_back({ea->name, ea->type, ea->address, eb->address, ea->xUnit, ea->yUnit,
                             std::move(changes)});
    }
    std::sort(r.entries.begin(), r.entries.end(),
              [](const EntryDiff& x, const EntryDiff& y) { return x.addressA < y.addressA; });
    r.bytesOutsideEntries = bytesOutside(a, b);
    return r;
}

} // namespace tevra
