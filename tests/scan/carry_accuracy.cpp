// Measures how many of a lender's entries cross-identification and carrying put
// at the right address of a later build, over generated revision pairs and
// same-layout siblings, and prints the table (Markdown) for docs/carry.md.
//
//   carry_accuracy [PAIRS [FIRST_SEED]]
//   carry_accuracy --why SEED [--large]   the carry report of one pair
#include "Calibration.h"
#include "CarryTally.h"
#include "CrossIdentifier.h"
#include "DefinitionCarrier.h"
#include "RevisionPairs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace tevra;
using namespace tevra::test;

namespace {

enum class Method { CrossIdentify, Carry };

CarryTally run(std::uint32_t seed, const RevisionShape& shape, Method m) {
    Calibration lender, later;
    const auto truth = RevisionPairs::build(seed, shape, lender, later);
    later.ScanHeuristic();
    if (m == Method::CrossIdentify)
        CrossIdentifier::identify(later, lender, 0.5f); // the dialog's quality 0
    else
        DefinitionCarrier::carry(later, lender);
    return CarryTally::of(lender, later, truth);
}

void row(const char* what, int pairs, const char* method, const CarryTally::Counts& c) {
    const double n = c.total() ? c.total() : 1;
    std::printf("| %s | %d | %s | %d | %d (%.1f %%) | %d (%.1f %%) | %d (%.1f %%) |\n", what, pairs,
                method, c.total(), c.right, 100.0 * c.right / n, c.wrong, 100.0 * c.wrong / n,
                c.missed, 100.0 * c.missed / n);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--why") {
        // The carry report of one generated pair, with where each entry really went.
        Calibration lender, later;
        RevisionShape shape;
        if (argc > 3 && std::string(argv[3]) == "--large")
            shape = {600, 400, false, true};
        const auto truth = RevisionPairs::build(static_cast<std::uint32_t>(std::atoi(argv[2])),
                                                shape, lender, later);
        later.ScanHeuristic();
        const auto r = DefinitionCarrier::carry(later, lender);
        std::printf("%s", DefinitionCarrier::report(r, lender).c_str());
        for (const auto& c : r.carried)
            if (truth[static_cast<std::size_t>(c.lenderSlot)] != c.address)
                std::printf("wrong %s -> %X, truly %X\n",
                            lender.EntryAt(c.lenderSlot)->name.c_str(), c.address,
                            truth[static_cast<std::size_t>(c.lenderSlot)]);
        for (const auto& m : r.missed)
            std::printf("truth %s -> %X\n", lender.EntryAt(m.lenderSlot)->name.c_str(),
                        truth[static_cast<std::size_t>(m.lenderSlot)]);
        return 0;
    }
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::uint32_t first = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 1;
    struct Case {
        const char* name;
        RevisionShape shape;
    };
    const Case cases[] = {{"revisions", {}},
                          {"siblings", {40, 12, true, false}},
                          {"1000-entry revisions", {600, 400, false, true}}};
    std::printf("| case | pairs | method | entries | right address | wrong address | missed |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Case& c : cases) {
        CarryTally cross, carry;
        // The large pairs are slow to score by cross-identification: a tenth as many.
        const int n = c.shape.large ? std::max(1, pairs / 10) : pairs;
        for (int k = 0; k < n; ++k) {
            cross += run(first + static_cast<std::uint32_t>(k), c.shape, Method::CrossIdentify);
            carry += run(first + static_cast<std::uint32_t>(k), c.shape, Method::Carry);
        }
        const std::string tables = std::string(c.name) + ", tables";
        const std::string others = std::string(c.name) + ", constants and flags";
        row(tables.c_str(), n, "Cross-Identify", cross.tables);
        row(tables.c_str(), n, "Carry", carry.tables);
        row(others.c_str(), n, "Cross-Identify", cross.others);
        row(others.c_str(), n, "Carry", carry.others);
    }
    return 0;
}
