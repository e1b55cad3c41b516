#include "TableClassifier.h"

#include <cstddef>
#include <cstdlib>

namespace tevra {

namespace {

// The candidate's bytes with the image end as a hard limit. Offsets are kept as
// integers so that no pointer is ever formed beyond the image.
class Window {
public:
    Window(const std::uint8_t* p, const std::uint8_t* end)
        : p_(p), last_(end >= p ? end - p : -1) {}

    bool has(std::ptrdiff_t k) const { return k >= 0 && k <= last_; }
    // A record starting at k is looked at only while it starts before the last byte.
    bool startsBeforeEnd(std::ptrdiff_t k) const { return k < last_; }
    int operator[](std::ptrdiff_t k) const { return p_[k]; }
    std::ptrdiff_t last() const { return last_; }

private:
    const std::uint8_t* p_;
    std::ptrdiff_t last_;
};

int score3D(const Window& w) {
    if (!w.has(2))
        return 0;
    const bool rowsOk = w[0] >= 4 && w[0] <= 17;
    const bool columnsOk = w[1] >= 4 && w[1] <= 17;
    const bool flagOk = w[2] == 0x00 || w[2] == 0xFF;
    return rowsOk && columnsOk && flagOk ? 50 : 0;
}

int score16(const Window& w) {
    int score = 0;
    std::ptrdiff_t terminator = -1;
    for (int k = 0; k < 10; ++k) {
        const std::ptrdiff_t at = 5 * std::ptrdiff_t{k};
        if (!w.startsBeforeEnd(at))
            break;
        const int x = w[at];
        if (x == 0xFF) {
            if (k == 0)
                continue; // an end marker first is not a table yet: look at record 1
            score = 10 * k;
            terminator = at;
            break;
        }
        if (k >= 1 && x <= w[at - 5])
            break; // X must rise from record to record
    }
    // The first segment's stored slope must agree with its two points; the bytes it
    // needs lie well before the terminator's ninth byte.
    if (score > 0 && w.last() - terminator > 8) {
        const int e =
            (w[6] * 256 + w[7]) - (w[1] * 256 + w[2]) - (w[3] * 256 + w[4]) * (w[5] - w[0]) / 256;
        if (std::abs(e) < 3)
            score += 30;
    }
    return score;
}

void score8(const Window& w, TableClassifier::Scores& s) {
    if (!w.has(0))
        return;
    const int n = w[0];
    if (n < 1 || n > 10)
        return;
    s.unsigned8 = s.signed8 = 30;
    for (int k = 0; k < n; ++k) {
        const std::ptrdiff_t at = 1 + 4 * std::ptrdiff_t{k};
        if (!w.startsBeforeEnd(at))
            break;
        if (k >= 1 && w[at] < w[at - 4]) {
            s.unsigned8 = s.signed8 = 0;
            return;
        }
        // Bytes above 0x80 are likely negative values of a signed table.
        if (w[at + 1] > 0x80)
            s.signed8 += 10;
    }
}

} // namespace

TableClassifier::Scores TableClassifier::score(const std::uint8_t* p, const std::uint8_t* end) {
    Scores s;
    if (!p || !end)
        return s;
    const Window w(p, end);
    s.table3D = score3D(w);
    s.unsigned16 = score16(w);
    score8(w, s);
    return s;
}

EntryType TableClassifier::choose(const Scores& s) {
    // Strict comparisons: a tie keeps the earlier candidate of 0, 1, 2, 7.
    EntryType best = EntryType::Unsigned8Table;
    int bestScore = s.unsigned8;
    if (s.unsigned16 > bestScore) {
        best = EntryType::Unsigned16Table;
        bestScore = s.unsigned16;
    }
    if (s.signed8 > bestScore) {
        best = EntryType::Signed8Table;
        bestScore = s.signed8;
    }
    if (s.table3D > bestScore) {
        best = EntryType::Table3D;
        bestScore = s.table3D;
    }
    return bestScore < 10 ? EntryType::Unknown : best;
}

EntryType TableClassifier::ClassifyTable(const std::uint8_t* p, const std::uint8_t* end) {
    return choose(score(p, end));
}

} // namespace tevra
