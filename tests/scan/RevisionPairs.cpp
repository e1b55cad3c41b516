#include "RevisionPairs.h"

#include "Calibration.h"

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

namespace tevra::test {

namespace {

class Dice {
public:
    explicit Dice(std::uint32_t seed) : rng_(seed) {}
    int roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return roll(1, 100) <= percent; }
    std::mt19937& rng() { return rng_; }

private:
    std::mt19937 rng_;
};

using Bytes = std::vector<std::uint8_t>;

struct Point {
    int x, y;
};

// One reference to an item in the code: the instructions before it, then the
// referring instruction, then the instructions after it. `routine` >= 0 puts a JSR
// to that lookup routine at the start of `after`.
struct Site {
    Bytes before;
    std::uint8_t opcode = 0xCE;
    int routine = -1;
    Bytes after;
};

struct Item {
    int id = 0; // the same item in both builds
    EntryType type = EntryType::Unknown;
    std::vector<Point> points; // 2D
    int endSlope = 0;          // 16-bit
    int rows = 0, columns = 0; // 3D
    bool cellsSigned = false;
    std::vector<int> cells;
    int value = 0; // constants, flag bytes, value lists
    std::vector<Site> sites;
    int gap = 0; // zero bytes before the item in the data area
};

struct Program {
    std::vector<Item> items; // in data-area order
    struct CodeSlot {
        int item; // id
        int site; // index into the item's sites
        Bytes filler;
    };
    std::vector<CodeSlot> code;
    std::vector<Bytes> extraRoutines; // before the lookup routines
    int dataGap = 0x20;
    int nextId = 0;
};

const Bytes kLookup8 = {0xE6, 0x00, 0x08, 0xA1, 0x00, 0x23, 0x06, 0x08,
                        0x08, 0x08, 0x5A, 0x26, 0xF6, 0xA6, 0x01, 0x39};
const Bytes kLookup16 = {0xA1, 0x05, 0x23, 0x06, 0x08, 0x08, 0x08,
                         0x08, 0x08, 0x20, 0xF6, 0xEC, 0x01, 0x39};
const Bytes kLookup3D = {0xE6, 0x01, 0xA6, 0x00, 0x3D, 0x3A, 0xA6, 0x03, 0x39};

// A few instructions that touch RAM and registers only, as code between lookups.
Bytes filler(Dice& d, int count) {
    Bytes b;
    for (int k = 0; k < count; ++k) {
        const auto ram = static_cast<std::uint8_t>(d.roll(0x00, 0xBF));
        switch (d.roll(0, 9)) {
        case 0:
            b.insert(b.end(), {0x96, ram}); // LDAA dir
            break;
        case 1:
            b.insert(b.end(), {0x97, ram}); // STAA dir
            break;
        case 2:
            b.insert(b.end(), {0x86, static_cast<std::uint8_t>(d.roll(0, 255))}); // LDAA #
            break;
        case 3:
            b.insert(b.end(), {0x14, ram, static_cast<std::uint8_t>(1 << d.roll(0, 7))}); // BSET
            break;
        case 4:
            b.insert(b.end(), {0x4F}); // CLRA
            break;
        case 5:
            b.insert(b.end(), {0xDC, ram}); // LDD dir
            break;
        case 6:
            b.insert(b.end(), {0x24, static_cast<std::uint8_t>(d.roll(2, 8))}); // BHS
            break;
        case 7:
            b.insert(b.end(), {0x8B, static_cast<std::uint8_t>(d.roll(0, 255))}); // ADDA #
            break;
        case 8:
            b.insert(b.end(), {0xD7, ram}); // STAB dir
            break;
        default:
            b.insert(b.end(), {0x08}); // INX
            break;
        }
    }
    return b;
}

std::uint8_t ram(Dice& d) {
    return static_cast<std::uint8_t>(d.roll(0x40, 0xBF));
}

Site tableSite(Dice& d, EntryType type) {
    Site s;
    s.opcode = 0xCE; // LDX #
    switch (d.roll(0, 3)) {
    case 0:
        s.before = {0x96, static_cast<std::uint8_t>(d.roll(0x40, 0x4F))}; // LDAA input
        break;
    case 1:
        s.before = {0xD6, static_cast<std::uint8_t>(d.roll(0x40, 0x4F))}; // LDAB input
        break;
    case 2:
        s.before = {0xDC, static_cast<std::uint8_t>(d.roll(0x40, 0x4E))}; // LDD input
        break;
    default:
        break;
    }
    s.routine = type == EntryType::Unsigned16Table ? 1 : type == EntryType::Table3D ? 2 : 0;
    if (type == EntryType::Unsigned16Table)
        s.after = {0xDD, ram(d)}; // STD result
    else
        s.after = {0x97, ram(d)}; // STAA result
    if (d.chance(40))
        s.after.insert(s.after.end(), {0x8B, static_cast<std::uint8_t>(d.roll(0, 255))});
    return s;
}

Site constantSite(Dice& d, EntryType type) {
    Site s;
    if (d.chance(50))
        s.before = {0x96, static_cast<std::uint8_t>(d.roll(0x40, 0x4F))};
    switch (type) {
    case EntryType::Constant16:
        s.opcode = d.chance(50) ? 0xFC : 0xB3; // LDD / SUBD
        s.after = {0xDD, ram(d)};
        break;
    case EntryType::FlagByte:
        s.opcode = 0xB6; // LDAA
        s.after = {0x85, static_cast<std::uint8_t>(1 << d.roll(0, 7)), 0x27,
                   static_cast<std::uint8_t>(d.roll(2, 9))}; // BITA #, BEQ
        break;
    case EntryType::ValueList:
        s.opcode = 0xF6; // LDAB
        s.after = {0xC1, static_cast<std::uint8_t>(d.roll(0, 3)), 0x26,
                   static_cast<std::uint8_t>(d.roll(2, 9))}; // CMPB #, BNE
        break;
    default:
        s.opcode = d.chance(50) ? 0xB6 : 0xB1; // LDAA / CMPA
        s.after = {0x97, ram(d)};
        break;
    }
    return s;
}

bool isTable(EntryType t) {
    return isTable2D(t) || t == EntryType::Table3D;
}

// Rising X breakpoints with a smooth curve through them.
void makeCurve(Dice& d, Item& it, int count) {
    const bool wide = it.type == EntryType::Unsigned16Table;
    const int yMax = wide ? 12000 : it.type == EntryType::Signed8Table ? 127 : 255;
    const int yMin = it.type == EntryType::Signed8Table ? -128 : 0;
    int x = d.roll(0, 30);
    const int step = std::max(1, (250 - x) / count);
    double y = d.roll(yMin / 2, yMax / 2);
    const double slope = (d.roll(-100, 100) / 100.0) * (yMax - yMin) / (count + 1);
    it.points.clear();
    for (int k = 0; k < count; ++k) {
        it.points.push_back({x, std::clamp(static_cast<int>(y), yMin, yMax)});
        x = std::min(wide ? 253 : 255, x + d.roll(std::max(1, step / 2), step));
        y += slope + d.roll(-3, 3) * (yMax - yMin) / 100.0;
        if (wide) // fuel-like tables rise
            y = std::max(y, static_cast<double>(it.points.back().y + 1));
    }
    // X must rise strictly: squeeze the tail under the limit.
    for (std::size_t k = 1; k < it.points.size(); ++k)
        it.points[k].x = std::max(it.points[k].x, it.points[k - 1].x + 1);
    const int top = wide ? 254 : 255;
    for (std::size_t k = it.points.size(); k-- > 0;) {
        const int limit = top - static_cast<int>(it.points.size() - 1 - k);
        it.points[k].x = std::min(it.points[k].x, limit);
    }
    it.endSlope = d.roll(0, 3000);
}

void makeGrid(Dice& d, Item& it) {
    it.cells.assign(static_cast<std::size_t>(it.rows * it.columns), 0);
    const int lo = it.cellsSigned ? -128 : 0, hi = it.cellsSigned ? 127 : 255;
    const int origin = d.roll(lo / 2, hi / 2);
    const int dr = d.roll(-8, 8), dc = d.roll(-8, 8);
    for (int r = 0; r < it.rows; ++r)
        for (int c = 0; c < it.columns; ++c)
            it.cells[static_cast<std::size_t>(r * it.columns + c)] =
                std::clamp(origin + r * dr + c * dc + d.roll(-2, 2), lo, hi);
}

Item newItem(Dice& d, Program& p, bool table, bool large) {
    Item it;
    it.id = p.nextId++;
    if (table) {
        static constexpr EntryType kTables[] = {EntryType::Unsigned8Table,
                                                EntryType::Unsigned8Table, EntryType::Signed8Table,
                                                EntryType::Unsigned16Table, EntryType::Table3D};
        it.type = kTables[d.roll(0, 4)];
        if (it.type == EntryType::Table3D) {
            it.rows = large ? d.roll(3, 4) : d.roll(3, 12);
            it.columns = large ? d.roll(3, 4) : d.roll(3, 16);
            it.cellsSigned = d.chance(30);
            makeGrid(d, it);
        } else {
            makeCurve(d, it, large ? d.roll(3, 5) : d.roll(3, 12));
        }
    } else {
        static constexpr EntryType kConstants[] = {EntryType::Constant8, EntryType::Constant8,
                                                   EntryType::Constant16, EntryType::FlagByte,
                                                   EntryType::ValueList};
        it.type = kConstants[d.roll(0, 4)];
        it.value = it.type == EntryType::Constant16  ? d.roll(0, 65535)
                   : it.type == EntryType::ValueList ? d.roll(0, 3)
                                                     : d.roll(0, 255);
    }
    const int references = d.chance(15) ? 2 : 1;
    for (int k = 0; k < references; ++k)
        it.sites.push_back(table ? tableSite(d, it.type) : constantSite(d, it.type));
    it.gap = d.roll(0, 3);
    return it;
}

void addCodeSlots(Dice& d, Program& p, const Item& it) {
    for (int s = 0; s < static_cast<int>(it.sites.size()); ++s) {
        const auto at = p.code.begin() + d.roll(0, static_cast<int>(p.code.size()));
        p.code.insert(at, {it.id, s, filler(d, d.roll(0, 2))});
    }
}

Bytes itemBytes(const Item& it) {
    Bytes b;
    auto word = [&](int w) {
        b.push_back(static_cast<std::uint8_t>((w >> 8) & 0xFF));
        b.push_back(static_cast<std::uint8_t>(w & 0xFF));
    };
    const auto& pts = it.points;
    switch (it.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
        b.push_back(static_cast<std::uint8_t>(pts.size()));
        for (std::size_t i = 0; i < pts.size(); ++i) {
            int slope = 0;
            if (i + 1 < pts.size())
                slope = ((pts[i + 1].y - pts[i].y) * 256) / (pts[i + 1].x - pts[i].x);
            b.push_back(static_cast<std::uint8_t>(pts[i].x));
            b.push_back(static_cast<std::uint8_t>(pts[i].y & 0xFF));
            word(slope & 0xFFFF);
        }
        break;
    case EntryType::Unsigned16Table:
        for (std::size_t i = 0; i < pts.size(); ++i) {
            int slope = it.endSlope;
            if (i + 1 < pts.size())
                slope = ((pts[i + 1].y - pts[i].y) * 256) / (pts[i + 1].x - pts[i].x);
            b.push_back(static_cast<std::uint8_t>(pts[i].x));
            word(pts[i].y);
            word(std::max(0, slope));
        }
        b.push_back(0xFF);
        break;
    case EntryType::Table3D:
        b.push_back(static_cast<std::uint8_t>(it.rows));
        b.push_back(static_cast<std::uint8_t>(it.columns));
        b.push_back(it.cellsSigned ? 0xFF : 0x00);
        for (int c : it.cells)
            b.push_back(static_cast<std::uint8_t>(c & 0xFF));
        break;
    case EntryType::Constant16:
        word(it.value);
        break;
    default:
        b.push_back(static_cast<std::uint8_t>(it.value));
        break;
    }
    return b;
}

struct Built {
    Bytes image;
    std::vector<std::int32_t> addressOf; // by item id
};

Built emit(const Program& p, std::int32_t base, int length) {
    Built out;
    out.image.assign(static_cast<std::size_t>(length), 0xFF);
    out.addressOf.assign(static_cast<std::size_t>(p.nextId), -1);
    std::vector<const Item*> byId(static_cast<std::size_t>(p.nextId), nullptr);
    for (const Item& it : p.items)
        byId[static_cast<std::size_t>(it.id)] = &it;

    // Code size first: the data area starts behind the code.
    std::int64_t codeSize = 4; // LDS #, SEI
    for (const Bytes& r : p.extraRoutines)
        codeSize += static_cast<std::int64_t>(r.size());
    codeSize += static_cast<std::int64_t>(kLookup8.size() + kLookup16.size() + kLookup3D.size());
    for (const auto& slot : p.code) {
        const Site& s =
            byId[static_cast<std::size_t>(slot.item)]->sites[static_cast<std::size_t>(slot.site)];
        codeSize += static_cast<std::int64_t>(slot.filler.size() + s.before.size() + 3 +
                                              (s.routine >= 0 ? 3 : 0) + s.after.size());
    }
    codeSize += 3; // JMP loop
    std::int64_t at = ((codeSize + 15) / 16) * 16 + p.dataGap;
    for (const Item& it : p.items) {
        for (int k = 0; k < it.gap; ++k)
            out.image[static_cast<std::size_t>(at++)] = 0x00;
        out.addressOf[static_cast<std::size_t>(it.id)] = static_cast<std::int32_t>(base + at);
        const Bytes b = itemBytes(it);
        if (at + static_cast<std::int64_t>(b.size()) > length - 16)
            throw std::runtime_error("the generated program does not fit its image");
        std::copy(b.begin(), b.end(), out.image.begin() + at);
        at += static_cast<std::int64_t>(b.size());
    }

    std::int64_t pc = 0;
    auto put = [&](std::initializer_list<int> bs) {
        for (int v : bs)
            out.image[static_cast<std::size_t>(pc++)] = static_cast<std::uint8_t>(v);
    };
    auto putBytes = [&](const Bytes& bs) {
        for (std::uint8_t v : bs)
            out.image[static_cast<std::size_t>(pc++)] = v;
    };
    put({0x8E, 0x00, 0xFF, 0x0F});
    for (const Bytes& r : p.extraRoutines)
        putBytes(r);
    std::int32_t routines[3];
    routines[0] = static_cast<std::int32_t>(base + pc);
    putBytes(kLookup8);
    routines[1] = static_cast<std::int32_t>(base + pc);
    putBytes(kLookup16);
    routines[2] = static_cast<std::int32_t>(base + pc);
    putBytes(kLookup3D);
    const auto loop = static_cast<std::int32_t>(base + pc);
    for (const auto& slot : p.code) {
        const Site& s =
            byId[static_cast<std::size_t>(slot.item)]->sites[static_cast<std::size_t>(slot.site)];
        const std::int32_t target = out.addressOf[static_cast<std::size_t>(slot.item)];
        putBytes(slot.filler);
        putBytes(s.before);
        put({s.opcode, target >> 8, target & 0xFF});
        if (s.routine >= 0)
            put({0xBD, routines[s.routine] >> 8, routines[s.routine] & 0xFF});
        putBytes(s.after);
    }
    put({0x7E, loop >> 8, loop & 0xFF});
    const std::int64_t vector = length - 2;
    out.image[static_cast<std::size_t>(vector)] = static_cast<std::uint8_t>(base >> 8);
    out.image[static_cast<std::size_t>(vector + 1)] = static_cast<std::uint8_t>(base & 0xFF);
    return out;
}

// Small changes of the kind a calibrator makes between releases.
void tune(Dice& d, Item& it) {
    switch (it.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
    case EntryType::Unsigned16Table: {
        const bool wide = it.type == EntryType::Unsigned16Table;
        const int lo = it.type == EntryType::Signed8Table ? -128 : 0;
        const int hi = wide ? 12287 : it.type == EntryType::Signed8Table ? 127 : 255;
        const int step = wide ? 120 : 3;
        for (auto& pt : it.points)
            if (d.chance(60))
                pt.y = std::clamp(pt.y + d.roll(-step, step), lo, hi);
        if (wide)
            for (std::size_t k = 1; k < it.points.size(); ++k)
                it.points[k].y = std::max(it.points[k].y, it.points[k - 1].y + 1);
        for (std::size_t k = 0; k < it.points.size(); ++k)
            if (d.chance(10)) {
                const int left = k ? it.points[k - 1].x + 1 : 0;
                const int right =
                    k + 1 < it.points.size() ? it.points[k + 1].x - 1 : (wide ? 254 : 255);
                it.points[k].x = std::clamp(it.points[k].x + d.roll(-2, 2), left, right);
            }
        break;
    }
    case EntryType::Table3D: {
        const int lo = it.cellsSigned ? -128 : 0, hi = it.cellsSigned ? 127 : 255;
        for (int& c : it.cells)
            if (d.chance(50))
                c = std::clamp(c + d.roll(-6, 6), lo, hi);
        break;
    }
    case EntryType::Constant8:
        if (d.chance(50))
            it.value = std::clamp(it.value + d.roll(-5, 5), 0, 255);
        break;
    case EntryType::Constant16:
        if (d.chance(50))
            it.value = std::clamp(it.value + d.roll(-500, 500), 0, 65535);
        break;
    case EntryType::FlagByte:
        if (d.chance(20))
            it.value ^= 1 << d.roll(0, 7);
        break;
    case EntryType::ValueList:
        if (d.chance(20))
            it.value = d.roll(0, 3);
        break;
    default:
        break;
    }
}

// A point or a row/column more or less.
void resize(Dice& d, Item& it) {
    if (it.type == EntryType::Table3D) {
        const bool rows = d.chance(50);
        int& n = rows ? it.rows : it.columns;
        const int oldRows = it.rows, oldColumns = it.columns;
        const std::vector<int> old = it.cells;
        n = std::clamp(n + (d.chance(50) ? 1 : -1), 3, 16);
        it.cells.assign(static_cast<std::size_t>(it.rows * it.columns), 0);
        for (int r = 0; r < it.rows; ++r)
            for (int c = 0; c < it.columns; ++c)
                it.cells[static_cast<std::size_t>(r * it.columns + c)] =
                    old[static_cast<std::size_t>(std::min(r, oldRows - 1) * oldColumns +
                                                 std::min(c, oldColumns - 1))];
        return;
    }
    if (!isTable2D(it.type))
        return;
    auto& pts = it.points;
    if (pts.size() > 3 && d.chance(50)) {
        pts.erase(pts.begin() + d.roll(0, static_cast<int>(pts.size()) - 1));
        return;
    }
    // A point between two others where there is room, else at the end.
    for (std::size_t k = 0; k + 1 < pts.size(); ++k)
        if (pts[k + 1].x - pts[k].x >= 2) {
            pts.insert(pts.begin() + static_cast<long>(k) + 1,
                       {(pts[k].x + pts[k + 1].x) / 2, (pts[k].y + pts[k + 1].y) / 2});
            return;
        }
}

Program revise(Dice& d, Program p, bool large) {
    // The code grows: a routine ahead of the lookups, instructions here and there.
    p.extraRoutines.push_back(filler(d, d.roll(2, 6)));
    p.extraRoutines.back().push_back(0x39); // RTS
    for (auto& slot : p.code) {
        if (d.chance(10))
            slot.filler = filler(d, d.roll(0, 3));
        else if (d.chance(5))
            for (std::uint8_t b : filler(d, 1))
                slot.filler.push_back(b);
    }
    for (Item& it : p.items)
        for (Site& s : it.sites)
            if (d.chance(5) && !s.after.empty())
                s.after.back() = static_cast<std::uint8_t>(s.after.back() + 1);
    p.dataGap = d.roll(0x08, 0x60);

    // Items dropped with their code.
    std::vector<int> dropped;
    std::erase_if(p.items, [&](const Item& it) {
        if (!d.chance(5))
            return false;
        dropped.push_back(it.id);
        return true;
    });
    std::erase_if(p.code, [&](const Program::CodeSlot& s) {
        return std::find(dropped.begin(), dropped.end(), s.item) != dropped.end();
    });
    for (Item& it : p.items) {
        tune(d, it);
        if (isTable(it.type) && d.chance(5))
            resize(d, it);
        if (d.chance(10))
            it.gap = d.roll(0, 3);
    }
    // A few tables move to another place in the data area.
    const int moves = static_cast<int>(p.items.size()) / 30;
    for (int k = 0; k < moves && p.items.size() > 2; ++k) {
        const int from = d.roll(0, static_cast<int>(p.items.size()) - 1);
        Item it = p.items[static_cast<std::size_t>(from)];
        p.items.erase(p.items.begin() + from);
        p.items.insert(p.items.begin() + d.roll(0, static_cast<int>(p.items.size())), it);
    }
    // New items, in the data area and in the code.
    const int added = std::max(1, static_cast<int>(p.items.size()) / 20);
    for (int k = 0; k < added; ++k) {
        Item it = newItem(d, p, d.chance(75), large);
        addCodeSlots(d, p, it);
        p.items.insert(p.items.begin() + d.roll(0, static_cast<int>(p.items.size())), it);
    }
    return p;
}

Program tuneOnly(Dice& d, Program p) {
    for (Item& it : p.items)
        tune(d, it);
    return p;
}

const char* typeWord(EntryType t) {
    switch (t) {
    case EntryType::Unsigned8Table:
        return "Curve";
    case EntryType::Signed8Table:
        return "Correction";
    case EntryType::Unsigned16Table:
        return "Pulse";
    case EntryType::Table3D:
        return "Map";
    case EntryType::Constant8:
    case EntryType::Constant16:
        return "Limit";
    case EntryType::FlagByte:
        return "Flags";
    default:
        return "Choice";
    }
}

} // namespace

std::vector<std::int32_t> RevisionPairs::build(std::uint32_t seed, const RevisionShape& shape,
                                               Calibration& first, Calibration& later) {
    Dice d(seed);
    const std::int32_t base = shape.large ? 0x8000 : 0xC000;
    const int length = shape.large ? 0x8000 : 0x4000;

    Program p;
    p.dataGap = d.roll(0x08, 0x60);
    for (int k = 0; k < shape.tables + shape.constants; ++k)
        p.items.push_back(newItem(d, p, k < shape.tables, shape.large));
    std::shuffle(p.items.begin(), p.items.end(), d.rng());
    for (const Item& it : p.items)
        addCodeSlots(d, p, it);
    const Program next = shape.sibling ? tuneOnly(d, p) : revise(d, p, shape.large);

    const Built before = emit(p, base, length);
    const Built after = emit(next, base, length);

    first.baseAddress = base;
    later.baseAddress = base;
    // The definitions in an order of their own, as a calibrator adds them.
    std::vector<const Item*> order;
    for (const Item& it : p.items)
        order.push_back(&it);
    std::shuffle(order.begin(), order.end(), d.rng());
    std::vector<std::int32_t> truth;
    for (const Item* it : order) {
        CalEntry* e = first.NewEntry();
        e->type = it->type;
        e->address = before.addressOf[static_cast<std::size_t>(it->id)];
        e->name = std::string(typeWord(it->type)) + " " + std::to_string(it->id);
        e->xName = "Input " + std::to_string(it->id);
        e->xMax = "8192";
        e->yName = "Output " + std::to_string(it->id);
        e->yMax = it->type == EntryType::Constant16 ? "65535" : "256";
        truth.push_back(after.addressOf[static_cast<std::size_t>(it->id)]);
    }
    first.SetImage(before.image);
    later.SetImage(after.image);
    return truth;
}

} // namespace tevra::test
