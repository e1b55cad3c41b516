// Thousands of random definitions on random images: every value read equals a
// plain reading of the bytes, and edits touch only the entry's own bytes, never
// anything of an entry that is read-only or reaches outside the image. (The
// sanitizers watch the image buffer itself.)
#include "Calibration.h"

#include <gtest/gtest.h>
#include <random>

using namespace tevra;

namespace {

// An independent reading of the layouts: a byte outside the image reads 0xFF.
struct Reference {
    const std::vector<std::uint8_t>& img;
    std::int64_t off;
    int b(std::int64_t k) const {
        const std::int64_t at = off + k;
        return (at >= 0 && at < static_cast<std::int64_t>(img.size())) ? img[at] : 0xFF;
    }
    int w(std::int64_t k) const { return b(k) * 256 + b(k + 1); }
    int count16() const {
        int k = 0;
        while (b(5 * k) != 0xFF)
            ++k;
        return k + 1;
    }
    // Bytes [0, size) of the layout, or -1 when it has no end inside the image.
    std::int64_t size(EntryType t) const {
        switch (t) {
        case EntryType::Unsigned8Table:
        case EntryType::Signed8Table:
            return 1 + 4 * std::int64_t{b(0)};
        case EntryType::Unsigned16Table:
            return 5 * std::int64_t{count16() - 1} + 1;
        case EntryType::Constant16:
            return 2;
        case EntryType::Table3D:
            return 3 + std::int64_t{b(0)} * b(1);
        default:
            return 1;
        }
    }
    bool inside(EntryType t) const {
        const std::int64_t n = size(t);
        if (off < 0 || off + n > static_cast<std::int64_t>(img.size()))
            return false;
        return t != EntryType::Unsigned16Table || b(n - 1) == 0xFF;
    }
};

void checkReads(const CalEntry& e, const Reference& ref) {
    switch (e.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table: {
        const int n = ref.b(0);
        ASSERT_EQ(e.PointCount(), n);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(e.GetX(i), ref.b(1 + 4 * i));
            const int y = ref.b(2 + 4 * i);
            ASSERT_EQ(e.GetY(i),
                      e.type == EntryType::Signed8Table ? static_cast<std::int8_t>(y) : y);
            ASSERT_EQ(e.GetSlope(i), i < n - 1 ? ref.w(3 + 4 * i) : -1);
        }
        break;
    }
    case EntryType::Unsigned16Table: {
        const int p = ref.count16();
        ASSERT_EQ(e.PointCount(), p);
        for (int i = 0; i + 1 < p; ++i) {
            ASSERT_EQ(e.GetX(i), ref.b(5 * i));
            ASSERT_EQ(e.GetY(i), ref.w(5 * i + 1));
            ASSERT_EQ(e.GetSlope(i), ref.w(5 * i + 3));
        }
        ASSERT_EQ(e.GetX(p - 1), 255);
        if (p > 1) {
            ASSERT_EQ(e.GetY(p - 1), ref.w(5 * (p - 2) + 1) +
                                         ref.w(5 * (p - 2) + 3) * (255 - ref.b(5 * (p - 2))) / 256);
        }
        break;
    }
    case EntryType::Constant8:
        ASSERT_EQ(e.GetX(0), ref.b(0));
        break;
    case EntryType::Constant16:
        ASSERT_EQ(e.GetY(0), ref.w(0));
        break;
    case EntryType::Table3D:
        ASSERT_EQ(e.Rows(), ref.b(0));
        ASSERT_EQ(e.Columns(), ref.b(1));
        for (int r = 0; r < std::min(ref.b(0), 20); ++r)
            for (int c = 0; c < std::min(ref.b(1), 20); ++c) {
                const int v = ref.b(3 + r * ref.b(1) + c);
                ASSERT_EQ(e.GetCell(c, r), ref.b(2) == 0xFF ? static_cast<std::int8_t>(v) : v);
            }
        break;
    default:
        break;
    }
}

void randomEdit(CalEntry& e, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int p = std::max(e.PointCount(), 1);
    const int i = pick(-1, std::min(p, 300));
    const float fx = pick(-20, 300) / 255.0f, fy = pick(-20, 300) / 255.0f;
    switch (pick(0, 9)) {
    case 0:
        e.OffsetPoint(i, pick(-2, 2), pick(-2, 2));
        break;
    case 1:
        e.DragPoint(i, fx, fy, pick(0, 1) == 1);
        break;
    case 2:
        e.AddToAll(static_cast<float>(pick(-300, 300)));
        break;
    case 3:
        e.SetAll(static_cast<float>(pick(-300, 300)));
        break;
    case 4:
        e.ScaleAll(fx * 2, fy * 2);
        break;
    case 5:
        e.AddToCell(pick(-1, 40), pick(-1, 40), pick(-3, 3));
        break;
    case 6:
        e.SetPointY(i, pick(-100000, 100000));
        break;
    case 7:
        e.ScalePoint(i, fx * 3, fy * 3);
        break;
    case 8:
        e.AddY(i, pick(-70000, 70000));
        break;
    default:
        // The low-level writes carry no read-only check of their own: only the
        // edit operations above (which do check) use them on a read-only owner.
        if (e.owner()->readOnly)
            break;
        e.SetX(i, pick(-10, 300), pick(0, 1) == 1);
        e.SetY(i, pick(-100000, 100000), pick(0, 1) == 1);
        e.SetSlope(i, pick(-100000, 100000));
        e.RecomputeSlopes();
        break;
    }
}

} // namespace

TEST(EntryProperty, ReadsMatchThePlainLayoutAndEditsStayInTheEntry) {
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 4000; ++round) {
        Calibration cal;
        const int length = pick(0, 300);
        std::vector<std::uint8_t> img(static_cast<std::size_t>(length));
        const int flavour = pick(0, 3); // small counts and terminators make real tables
        for (auto& byte : img)
            byte =
                static_cast<std::uint8_t>(flavour == 0   ? pick(0, 255)
                                          : flavour == 1 ? pick(0, 12)
                                                         : (pick(0, 9) == 0 ? 0xFF : pick(0, 40)));
        cal.baseAddress = pick(0, 0xFF00);
        cal.SetImage(img);
        cal.readOnly = pick(0, 3) == 0;
        CalEntry* e = cal.NewEntry();
        e->type = static_cast<EntryType>(pick(-1, 9));
        e->yMin = std::to_string(pick(-50, 50));
        e->yMax = std::to_string(pick(-50, 400));
        // Below, inside, straddling and past the image.
        e->Relocate(cal.baseAddress + pick(-20, length + 20));
        const Reference ref{cal.image(), std::int64_t{e->address} - cal.baseAddress};

        SCOPED_TRACE("round " + std::to_string(round) + " type " +
                     std::to_string(static_cast<int>(e->type)) + " offset " +
                     std::to_string(ref.off) + " length " + std::to_string(length));
        checkReads(*e, ref);
        ASSERT_EQ(e->inImage(), ref.inside(e->type));

        const std::vector<std::uint8_t> before = cal.image();
        const bool editable = !cal.readOnly && ref.inside(e->type);
        const std::int64_t size = ref.size(e->type);
        for (int k = 0; k < 4; ++k)
            randomEdit(*e, rng);
        const auto& after = cal.image();
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t k = 0; k < after.size(); ++k) {
            const std::int64_t rel = static_cast<std::int64_t>(k) - ref.off;
            if (!editable || rel < 0 || rel >= size) {
                ASSERT_EQ(after[k], before[k]) << "byte " << k << " outside the entry changed";
            }
        }
    }
}
