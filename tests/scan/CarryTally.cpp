#include "CarryTally.h"

#include "Calibration.h"

namespace tevra::test {

CarryTally CarryTally::of(const Calibration& lender, const Calibration& named,
                          const std::vector<std::int32_t>& truth) {
    CarryTally t;
    for (int j = 0; j < lender.entryCount(); ++j) {
        const CalEntry* e = lender.EntryAt(j);
        if (!e)
            continue;
        Counts& c = isTable2D(e->type) || e->type == EntryType::Table3D ? t.tables : t.others;
        const CalEntry* carried = named.FindByName(e->name, nullptr);
        const std::int32_t where = truth[static_cast<std::size_t>(j)];
        if (!carried) {
            if (where >= 0)
                ++c.missed;
        } else if (carried->address == where && carried->type == e->type) {
            ++c.right;
        } else {
            ++c.wrong;
        }
    }
    return t;
}

} // namespace tevra::test
