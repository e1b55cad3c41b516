// Writes one generated revision pair to a folder, for trying carry and
// cross-identification by hand: first.bin with first.tbl (the known build),
// later.bin (the later build, bare), and truth.txt (where each of first's entries
// lies in later, or "dropped").
//
//   make_revision SEED OUTDIR [--sibling] [--large]
#include "Calibration.h"
#include "RevisionPairs.h"
#include "TextRules.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace tevra;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_revision SEED OUTDIR [--sibling] [--large]\n");
        return 2;
    }
    test::RevisionShape shape;
    for (int k = 3; k < argc; ++k) {
        const std::string option = argv[k];
        if (option == "--sibling")
            shape.sibling = true;
        else if (option == "--large")
            shape = {600, 400, shape.sibling, true};
    }
    const std::string dir = argv[2];
    Calibration first, later;
    const auto truth = test::RevisionPairs::build(static_cast<std::uint32_t>(std::atoi(argv[1])),
                                                  shape, first, later);
    std::ofstream out(dir + "/truth.txt");
    for (int j = 0; j < first.entryCount(); ++j) {
        const CalEntry* e = first.EntryAt(j);
        const std::int32_t at = truth[static_cast<std::size_t>(j)];
        out << e->name << " " << text::formatHex(static_cast<std::uint32_t>(e->address), 4)
            << " -> "
            << (at < 0 ? std::string("dropped")
                       : text::formatHex(static_cast<std::uint32_t>(at), 4))
            << "\n";
    }
    const bool ok = first.SaveBinary(dir + "/first.bin") &&
                    first.SaveDefinitions(dir + "/first.tbl") &&
                    later.SaveBinary(dir + "/later.bin");
    return ok && out ? 0 : 1;
}
