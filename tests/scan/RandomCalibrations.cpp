#include "RandomCalibrations.h"

#include "Calibration.h"

#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <vector>

namespace tevra::test {

namespace {

class Dice {
public:
    explicit Dice(std::uint32_t seed) : rng_(seed) {}
    int roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return roll(1, 100) <= percent; }

private:
    std::mt19937 rng_;
};

// Bytes from a few values make equal curves, equal constants and so equal scores.
int randomByte(Dice& d, bool smallAlphabet) {
    static constexpr int kFew[] = {0x00, 0x01, 0x02, 0x10, 0x20, 0x40,
                                   0x7F, 0x80, 0x81, 0xFE, 0xFF};
    if (smallAlphabet)
        return kFew[d.roll(0, static_cast<int>(std::size(kFew)) - 1)];
    return d.roll(0, 255);
}

void put(std::vector<std::uint8_t>& img, std::int64_t at, int v) {
    if (at >= 0 && at < static_cast<std::int64_t>(img.size()))
        img[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v);
}

// Lays out a plausible table of the type at the offset, so that tables have sane
// point counts and curves rather than only noise.
void writeStructure(Dice& d, std::vector<std::uint8_t>& img, std::int64_t at, EntryType type) {
    switch (type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table: {
        const int n = d.roll(0, 10);
        put(img, at, n);
        int x = d.roll(0, 20);
        for (int k = 0; k < n; ++k) {
            put(img, at + 1 + 4 * k, x);
            put(img, at + 2 + 4 * k, d.roll(0, 3) * 0x40);
            x = std::min(255, x + d.roll(0, 40));
        }
        break;
    }
    case EntryType::Unsigned16Table: {
        const int n = d.roll(0, 6);
        int x = d.roll(0, 20), y = d.roll(0, 4) * 1000;
        for (int k = 0; k < n; ++k) {
            put(img, at + 5 * k, x);
            put(img, at + 5 * k + 1, y >> 8);
            put(img, at + 5 * k + 2, y & 0xFF);
            put(img, at + 5 * k + 3, d.roll(0, 2));
            put(img, at + 5 * k + 4, 0);
            x = std::min(254, x + d.roll(1, 40));
            y = std::min(12287, y + d.roll(0, 2) * 500);
        }
        put(img, at + 5 * n, 0xFF);
        break;
    }
    case EntryType::Table3D: {
        const int rows = d.roll(0, 5), columns = d.roll(0, 5);
        put(img, at, rows);
        put(img, at + 1, columns);
        put(img, at + 2, d.chance(50) ? 0xFF : 0x00);
        for (int k = 0; k < rows * columns; ++k)
            put(img, at + 3 + k, d.roll(0, 3) * 20);
        break;
    }
    default:
        break;
    }
}

EntryType randomType(Dice& d) {
    return static_cast<EntryType>(d.roll(0, 8));
}

// An offset for a new entry: mostly inside the image, sometimes reaching past
// either end.
std::int64_t randomOffset(Dice& d, int length) {
    if (d.chance(8))
        return d.chance(50) ? -d.roll(1, 8) : length + d.roll(-3, 8);
    return d.roll(0, length - 1);
}

void fillRecord(Dice& d, CalEntry& e, const std::string& tag) {
    e.name = tag;
    e.xName = tag + "x";
    e.xMin = std::to_string(d.roll(0, 9));
    e.xMax = std::to_string(d.roll(10, 300));
    e.xUnit = tag + "xu";
    e.yName = tag + "y";
    e.yMin = std::to_string(d.roll(0, 9));
    e.yMax = std::to_string(d.roll(10, 300));
    e.yUnit = tag + "yu";
    e.chryslerName = tag + "c";
    e.description = tag + " description";
    e.userFlag = d.chance(50);
    for (int k = 0; k < 8; ++k) {
        e.itemNames[static_cast<std::size_t>(k)] = tag + "i" + std::to_string(k);
        e.itemValues[static_cast<std::size_t>(k)] = d.roll(0, 255);
    }
}

struct Planned {
    std::int64_t offset;
    EntryType type;
};

// Creates the entries, leaves a few holes, then sets the image (which positions them).
void populate(Dice& d, Calibration& cal, std::vector<std::uint8_t> img,
              const std::vector<Planned>& plan, const std::string& prefix, bool holes) {
    std::vector<CalEntry*> made;
    std::set<std::int64_t> used;
    for (const Planned& p : plan) {
        if (!used.insert(p.offset).second)
            continue;
        CalEntry* e = cal.NewEntry();
        if (!e)
            break;
        e->type = p.type;
        e->address = static_cast<std::int32_t>(cal.baseAddress + p.offset);
        fillRecord(d, *e, prefix + std::to_string(made.size()));
        made.push_back(e);
    }
    for (CalEntry* e : made)
        if (holes && d.chance(8))
            cal.DeleteEntry(e);
    cal.SetImage(std::move(img));
}

} // namespace

float RandomCalibrations::build(std::uint32_t seed, const RandomPairShape& shape, Calibration& self,
                                Calibration& other) {
    Dice d(seed);
    const bool smallAlphabet = d.chance(60);
    const bool related = shape.related || d.chance(50);
    const int length = d.roll(shape.minImageLength, shape.maxImageLength);
    self.baseAddress = d.chance(50) ? 0xC000 : 0x8000;
    other.baseAddress = d.chance(65) ? self.baseAddress : 0x10000 - length;

    std::vector<std::uint8_t> mine(static_cast<std::size_t>(length));
    for (auto& b : mine)
        b = static_cast<std::uint8_t>(randomByte(d, smallAlphabet));
    std::vector<Planned> myPlan;
    const int selfCount =
        shape.exactCounts ? shape.maxSelfEntries : d.roll(0, shape.maxSelfEntries);
    // Exact counts draw again for an offset already planned.
    std::set<std::int64_t> mineUsed, theirsUsed;
    auto freshOffset = [&](std::set<std::int64_t>& used, int len) {
        std::int64_t at = randomOffset(d, len);
        while (shape.exactCounts && used.count(at))
            at = randomOffset(d, len);
        used.insert(at);
        return at;
    };
    for (int k = 0; k < selfCount; ++k) {
        const Planned p{freshOffset(mineUsed, length), randomType(d)};
        if (d.chance(70))
            writeStructure(d, mine, p.offset, p.type);
        myPlan.push_back(p);
    }

    std::vector<std::uint8_t> theirs;
    std::vector<Planned> theirPlan;
    const int otherCount =
        shape.exactCounts ? shape.maxOtherEntries : d.roll(0, shape.maxOtherEntries);
    if (related) {
        // Another build of the same program: the same bytes, a few of them changed,
        // the same tables at the same offsets with their real types.
        theirs = mine;
        for (auto& b : theirs)
            if (d.chance(3))
                b = static_cast<std::uint8_t>(b + d.roll(-3, 3));
        for (int k = 0; k < otherCount; ++k) {
            if (!myPlan.empty() && d.chance(70)) {
                // Exact counts take each of self's tables once, so that no offset
                // repeats and the other really has as many entries.
                const int from = shape.exactCounts ? k % static_cast<int>(myPlan.size())
                                                   : d.roll(0, static_cast<int>(myPlan.size()) - 1);
                Planned p = myPlan[static_cast<std::size_t>(from)];
                if (d.chance(25))
                    p.type = randomType(d);
                theirsUsed.insert(p.offset);
                theirPlan.push_back(p);
            } else {
                theirPlan.push_back({freshOffset(theirsUsed, length), randomType(d)});
            }
        }
    } else {
        const int otherLength = d.roll(shape.minImageLength, shape.maxImageLength);
        theirs.resize(static_cast<std::size_t>(otherLength));
        for (auto& b : theirs)
            b = static_cast<std::uint8_t>(randomByte(d, smallAlphabet));
        for (int k = 0; k < otherCount; ++k) {
            const Planned p{randomOffset(d, otherLength), randomType(d)};
            if (d.chance(70))
                writeStructure(d, theirs, p.offset, p.type);
            theirPlan.push_back(p);
        }
    }
    populate(d, self, std::move(mine), myPlan, "S", !shape.exactCounts);
    populate(d, other, std::move(theirs), theirPlan, "O", !shape.exactCounts);

    switch (d.roll(0, 4)) {
    case 0:
        return 0.5f;
    case 1:
        return static_cast<float>(d.roll(0, 50)) / 100.0f; // below the dialog's range
    default:
        return 0.5f + static_cast<float>(d.roll(0, 100)) / 200.0f;
    }
}

std::string RandomCalibrations::describe(const Calibration& cal) {
    std::ostringstream out;
    out << "count " << cal.entryCount() << "\n";
    for (int i = 0; i < cal.entryCount(); ++i) {
        const CalEntry* e = cal.EntryAt(i);
        out << i << ": ";
        if (!e) {
            out << "-\n";
            continue;
        }
        out << static_cast<int>(e->type) << " " << e->address << " " << e->name << " " << e->xName
            << " " << e->xMin << " " << e->xMax << " " << e->xUnit << " " << e->yName << " "
            << e->yMin << " " << e->yMax << " " << e->yUnit << " " << e->chryslerName << " "
            << e->description << " " << e->userFlag << " " << e->matched;
        for (int k = 0; k < 8; ++k)
            out << " " << e->itemNames[static_cast<std::size_t>(k)] << "="
                << e->itemValues[static_cast<std::size_t>(k)];
        out << "\n";
    }
    return out.str();
}

} // namespace tevra::test
