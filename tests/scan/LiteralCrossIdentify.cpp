#include "LiteralCrossIdentify.h"

#include "Calibration.h"

namespace tevra::test {

namespace {

void copyFields(const CalEntry& from, CalEntry& to) {
    to.type = from.type;
    to.name = from.name;
    to.xName = from.xName;
    to.xMin = from.xMin;
    to.xMax = from.xMax;
    to.xUnit = from.xUnit;
    to.yName = from.yName;
    to.yMin = from.yMin;
    to.yMax = from.yMax;
    to.yUnit = from.yUnit;
    to.chryslerName = from.chryslerName;
    to.description = from.description;
    to.itemNames = from.itemNames;
    to.itemValues = from.itemValues;
}

bool isItem(EntryType t) {
    return t == EntryType::Constant8 || t == EntryType::Constant16 || t == EntryType::FlagByte ||
           t == EntryType::ValueList;
}

} // namespace

std::vector<CrossIdentifier::Match>
LiteralCrossIdentify::matches(Calibration& self, Calibration& other, float threshold) {
    const int n = self.entryCount(), m = other.entryCount();
    std::vector<std::vector<float>> s(static_cast<std::size_t>(n),
                                      std::vector<float>(static_cast<std::size_t>(m), 0.0f));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j)
            if (CalEntry* a = self.EntryAt(i); a)
                if (CalEntry* b = other.EntryAt(j); b)
                    s[i][j] = a->Similarity(*b);

    std::vector<CrossIdentifier::Match> taken;
    float best = 0;
    do {
        best = threshold;
        int bi = -1, bj = -1;
        for (int j = 0; j < m; ++j)
            for (int i = 0; i < n; ++i)
                if (s[i][j] > best) {
                    best = s[i][j];
                    bi = i;
                    bj = j;
                }
        if (bi < 0)
            break;
        taken.push_back({bi, bj, best});
        for (int j = 0; j < m; ++j)
            s[bi][j] = 0;
        for (int i = 0; i < n; ++i)
            s[i][bj] = 0;
    } while (best > 0.5f);
    return taken;
}

std::vector<CrossIdentifier::Match>
LiteralCrossIdentify::identify(Calibration& self, Calibration& other, float threshold) {
    const auto taken = matches(self, other, threshold);
    for (const auto& t : taken) {
        copyFields(*other.EntryAt(t.other), *self.EntryAt(t.self));
        other.EntryAt(t.other)->matched = true;
    }
    for (int j = 0; j < other.entryCount(); ++j) {
        CalEntry* b = other.EntryAt(j);
        if (!b || !isItem(b->type) || b->matched || self.FindByAddress(b->address, nullptr))
            continue;
        CalEntry* a = self.NewEntry();
        if (!a)
            break;
        a->Relocate(b->address);
        if (a->Similarity(*b) < 0.9f)
            self.DeleteEntry(a);
        else
            copyFields(*b, *a);
    }
    return taken;
}

} // namespace tevra::test
