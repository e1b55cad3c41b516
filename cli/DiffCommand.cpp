// tevra-cli diff: what changed between two calibrations, in engineering units.
#include "CalibrationDiff.h"
#include "ChangeText.h"
#include "CliSupport.h"
#include "JsonWriter.h"
#include "TextColumns.h"
#include "TextRules.h"

#include <iostream>

namespace tevra::cli {
namespace {

using Diff = CalibrationDiff;
using Kind = Diff::Kind;

// Like diff(1): 0 the same, 1 different, 2 trouble.
enum DiffExit { Same = 0, Different = 1, Trouble = 2 };

std::string hex(std::int32_t a) {
    return text::formatHex(static_cast<std::uint32_t>(a), 4);
}

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Definition:
        return "definition";
    case Kind::Outside:
        return "outside";
    case Kind::Shape:
        return "shape";
    case Kind::Point:
        return "point";
    case Kind::Slope:
        return "slope";
    case Kind::Cell:
        return "cell";
    case Kind::Value:
        return "value";
    case Kind::Bit:
        return "bit";
    case Kind::Choice:
        return "choice";
    case Kind::Bytes:
        return "bytes";
    }
    return "";
}

std::string typeText(EntryType t) {
    const char* s = entryTypeText(t);
    return s ? s : "type " + std::to_string(static_cast<int>(t));
}

void printText(const Diff::Result& r) {
    if (!r.settings.empty()) {
        std::cout << "settings:\n";
        TextColumns t;
        for (const auto& s : r.settings)
            t.add({s.field, "'" + s.oldText + "' -> '" + s.newText + "'"});
        t.print(std::cout);
    }
    if (!r.entries.empty()) {
        std::cout << "changed entries:\n";
        TextColumns t;
        for (const auto& e : r.entries)
            for (const auto& c : e.changes) {
                auto [where, what] = ChangeText::of(c, e.xUnit, e.yUnit);
                t.add({hex(e.addressA), e.name, where, what});
            }
        t.print(std::cout);
    }
    auto lone = [](const char* title, const std::vector<Diff::LoneEntry>& list) {
        if (list.empty())
            return;
        std::cout << title << "\n";
        TextColumns t;
        for (const auto& e : list)
            t.add({hex(e.address), e.name, typeText(e.type)});
        t.print(std::cout);
    };
    lone("only in A:", r.onlyInA);
    lone("only in B:", r.onlyInB);
    if (!r.bytesOutsideEntries.empty()) {
        std::cout << "bytes outside entries:\n";
        TextColumns t;
        for (const auto& b : r.bytesOutsideEntries) {
            const int n = b.last - b.first + 1;
            t.add({n == 1 ? hex(b.first) : hex(b.first) + "-" + hex(b.last),
                   std::to_string(n) + (n == 1 ? " byte" : " bytes")});
        }
        t.print(std::cout);
    }
}

void side(JsonWriter& j, const char* key, const Diff::Side& s, Kind k) {
    j.key(key);
    if (!s.present) {
        j.null();
        return;
    }
    j.beginObject();
    if (k == Kind::Point) {
        j.key("xRaw");
        j.value(s.rawX);
        j.key("x");
        j.value(s.x);
        j.key("yRaw");
        j.value(s.raw);
        j.key("y");
        j.value(s.y);
    } else {
        j.key("raw");
        j.value(s.raw);
        if (k == Kind::Value) {
            j.key("value");
            j.value(s.y);
        }
    }
    j.endObject();
}

void change(JsonWriter& j, const Diff::Change& c) {
    j.beginObject();
    j.key("kind");
    j.value(kindName(c.kind));
    if (!c.field.empty()) {
        j.key("field");
        j.value(c.field);
    }
    if (c.index >= 0) {
        j.key("index");
        j.value(c.index);
    }
    if (c.kind == Kind::Cell) {
        j.key("column");
        j.value(c.column);
        j.key("row");
        j.value(c.row);
    }
    if (c.kind == Kind::Definition || c.kind == Kind::Outside) {
        j.key("old");
        j.value(c.oldText);
        j.key("new");
        j.value(c.newText);
    } else if (c.kind == Kind::Bytes) {
        j.key("count");
        j.value(c.before.raw);
    } else {
        side(j, "old", c.before, c.kind);
        side(j, "new", c.after, c.kind);
        if (c.kind == Kind::Choice) {
            j.key("oldName");
            j.value(c.oldText);
            j.key("newName");
            j.value(c.newText);
        }
    }
    j.endObject();
}

void printJson(const Diff::Result& r) {
    JsonWriter j;
    j.beginObject();
    j.key("same");
    j.value(r.same());
    j.key("settings");
    j.beginArray();
    for (const auto& s : r.settings) {
        j.beginObject();
        j.key("field");
        j.value(s.field);
        j.key("old");
        j.value(s.oldText);
        j.key("new");
        j.value(s.newText);
        j.endObject();
    }
    j.endArray();
    j.key("entries");
    j.beginArray();
    for (const auto& e : r.entries) {
        j.beginObject();
        j.key("name");
        j.value(e.name);
        j.key("type");
        j.value(static_cast<int>(e.type));
        j.key("addressA");
        j.value(e.addressA);
        j.key("addressB");
        j.value(e.addressB);
        j.key("changes");
        j.beginArray();
        for (const auto& c : e.changes)
            change(j, c);
        j.endArray();
        j.endObject();
    }
    j.endArray();
    auto lone = [&](const char* key, const std::vector<Diff::LoneEntry>& list) {
        j.key(key);
        j.beginArray();
        for (const auto& e : list) {
            j.beginObject();
            j.key("name");
            j.value(e.name);
            j.key("type");
            j.value(static_cast<int>(e.type));
            j.key("address");
            j.value(e.address);
            j.endObject();
        }
        j.endArray();
    };
    lone("onlyInA", r.onlyInA);
    lone("onlyInB", r.onlyInB);
    j.key("bytesOutsideEntries");
    j.beginArray();
    for (const auto& b : r.bytesOutsideEntries) {
        j.beginObject();
        j.key("first");
        j.value(b.first);
        j.key("last");
        j.value(b.last);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    std::cout << j.str() << "\n";
}

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert("--tbl");
    auto flags = kOpenFlags;
    flags.insert("--json");
    Args args(words, valued, flags);
    if (args.positional().size() != 2)
        throw UsageProblem{"expected two images A B"};
    OpenedCalibration a(args.has("--yes")), b(args.has("--yes"));
    if (!openCalibration(a, args.positional()[0], args) ||
        !openCalibration(b, args.positional()[1], args))
        return Trouble;
    if (args.has("--tbl") && !useDefinitions(b.calibration, args.value("--tbl"))) {
        std::cerr << "Failed to load TBL " << args.value("--tbl") << "\n";
        return Trouble;
    }
    const Diff::Result r = Diff::compare(a.calibration, b.calibration);
    if (args.has("--json"))
        printJson(r);
    else
        printText(r);
    return r.same() ? Same : Different;
}

const CommandRegistration registration{
    {"diff", "diff A B [--json] [--tbl FILE] [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
