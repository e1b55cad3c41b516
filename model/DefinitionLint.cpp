#include "DefinitionLint.h"

#include "Calibration.h"
#include "EntryExtent.h"
#include "TextRules.h"

#include <algorithm>
#include <unordered_map>

namespace tevra {

namespace {

using Finding = DefinitionLint::Finding;
using Kind = DefinitionLint::Kind;

std::string hex(std::int64_t a) {
    return text::formatHex(static_cast<std::uint32_t>(a), 4);
}

struct Placed {
    const CalEntry* entry;
    EntryExtent extent;
};

std::string span(const Calibration& cal, const Placed& p) {
    const std::int64_t first = cal.baseAddress + p.extent.offset;
    return p.entry->name + " (" + hex(first) + "-" + hex(first + p.extent.length - 1) + ")";
}

void checkPlacement(const Calibration& cal, const std::vector<Placed>& placed,
                    std::vector<Finding>& out) {
    for (const Placed& p : placed)
        if (!p.extent.complete && !p.extent.unterminated)
            out.push_back({Kind::OutsideImage,
                           p.entry->address,
                           {p.entry->name},
                           span(cal, p) + " reaches outside the image"});

    // A sweep in address order: each entry against those still open.
    std::vector<const Placed*> order;
    for (const Placed& p : placed)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Placed* a, const Placed* b) {
        return a->extent.offset < b->extent.offset;
    });
    std::vector<const Placed*> open;
    for (const Placed* p : order) {
        std::erase_if(open, [&](const Placed* o) { return o->extent.end() <= p->extent.offset; });
        for (const Placed* o : open) {
            if (o->entry->address == p->entry->address)
                out.push_back({Kind::SameAddress,
                               p->entry->address,
                               {o->entry->name, p->entry->name},
                               o->entry->name + " and " + p->entry->name + " are both at " +
                                   hex(p->entry->address)});
            else
                out.push_back({Kind::Overlap,
                               p->entry->address,
                               {o->entry->name, p->entry->name},
                               span(cal, *o) + " overlaps " + span(cal, *p)});
        }
        open.push_back(p);
    }
}

void checkNames(const std::vector<Placed>& placed, std::vector<Finding>& out) {
    std::unordered_map<std::string, const CalEntry*> seen;
    for (const Placed& p : placed) {
        auto [it, fresh] = seen.emplace(text::toLowerAscii(p.entry->name), p.entry);
        if (fresh)
            continue;
        const CalEntry* first = it->second;
        out.push_back({Kind::NameCase,
                       p.entry->address,
                       {first->name, p.entry->name},
                       first->name == p.entry->name ? "two entries are named " + p.entry->name
                                                    : first->name + " and " + p.entry->name +
                                                          " differ only in letter case"});
    }
}

void checkLayouts(const std::vector<Placed>& placed, std::vector<Finding>& out) {
    for (const Placed& p : placed) {
        const CalEntry& e = *p.entry;
        if (p.extent.unterminated) {
            out.push_back({Kind::Unterminated,
                           e.address,
                           {e.name},
                           e.name + " at " + hex(e.address) +
                               " has no terminator (X byte FF) before the end of the image"});
            continue;
        }
        if (!p.extent.complete)
            continue;
        if (isTable2D(e.type)) {
            // The 16-bit table's end point is virtual (X = 255): only real points.
            const int real =
                e.type == EntryType::Unsigned16Table ? e.PointCount() - 1 : e.PointCount();
            for (int i = 1; i < real; ++i)
                if (e.GetX(i) <= e.GetX(i - 1)) {
                    out.push_back({Kind::XNotRising,
                                   e.address,
                                   {e.name},
                                   e.name + ": X of point " + std::to_string(i) + " (" +
                                       std::to_string(e.GetX(i)) + ") does not rise above point " +
                                       std::to_string(i - 1) + " (" +
                                       std::to_string(e.GetX(i - 1)) + ")"});
                    break;
                }
        }
        if (e.type == EntryType::Table3D) {
            const int rows = e.Rows(), columns = e.Columns();
            if (rows < 3 || rows > 32 || columns < 3 || columns > 32)
                out.push_back({Kind::Dimensions,
                               e.address,
                               {e.name},
                               e.name + " has " + std::to_string(rows) + " rows and " +
                                   std::to_string(columns) + " columns (3..32 expected)"});
        }
    }
}

void checkChecksum(const Calibration& cal, const std::vector<Placed>& placed,
                   std::vector<Finding>& out) {
    if (!cal.checksumEnabled)
        return;
    const std::int64_t length = cal.imageLength();
    auto check = [&](std::int32_t address, Kind inEntry, const char* what) {
        const std::int64_t offset = std::int64_t{address} - cal.baseAddress;
        if (offset < 0 || offset >= length) {
            out.push_back(
                {Kind::ChecksumOutside,
                 address,
                 {},
                 std::string(what) + " address " + hex(address) + " lies outside the image"});
            return;
        }
        for (const Placed& p : placed)
            if (offset >= p.extent.offset && offset < p.extent.end())
                out.push_back({inEntry,
                               address,
                               {p.entry->name},
                               std::string(what) + " address " + hex(address) + " lies inside " +
                                   span(cal, p)});
    };
    check(cal.checksumAddress, Kind::ChecksumInEntry, "checksum");
    check(cal.fixupAddress, Kind::FixupInEntry, "fix-up");
    if (cal.checksumAddress == cal.fixupAddress)
        out.push_back({Kind::FixupIsChecksum,
                       cal.fixupAddress,
                       {},
                       "the fix-up address equals the checksum address " + hex(cal.fixupAddress)});
}

} // namespace

std::vector<Finding> DefinitionLint::check(const Calibration& cal) {
    std::vector<Placed> placed;
    for (int i = 0; i < cal.entryCount(); ++i)
        if (const CalEntry* e = cal.EntryAt(i))
            placed.push_back({e, EntryExtent::of(*e)});
    std::vector<Finding> out;
    checkPlacement(cal, placed, out);
    checkNames(placed, out);
    checkLayouts(placed, out);
    checkChecksum(cal, placed, out);
    std::stable_sort(out.begin(), out.end(),
                     [](const Finding& a, const Finding& b) { return a.address < b.address; });
    return out;
}

const char* DefinitionLint::kindName(Kind k) {
    switch (k) {
    case Kind::Overlap:
        return "overlap";
    case Kind::OutsideImage:
        return "outsideImage";
    case Kind::SameAddress:
        return "sameAddress";
    case Kind::NameCase:
        return "nameCase";
    case Kind::XNotRising:
        return "xNotRising";
    case Kind::Unterminated:
        return "unterminated";
    case Kind::Dimensions:
        return "dimensions";
    case Kind::ChecksumInEntry:
        return "checksumInEntry";
    case Kind::FixupInEntry:
        return "fixupInEntry";
    case Kind::FixupIsChecksum:
        return "fixupIsChecksum";
    case Kind::ChecksumOutside:
        return "checksumOutside";
    }
    return "";
}

} // namespace tevra
