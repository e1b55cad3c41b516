// tevra-cli carry: carry a known calibration's definitions onto another build of
// the same program, following the code that refers to each table.
#include "AtomicFile.h"
#include "CliSupport.h"
#include "DefinitionCarrier.h"

#include <iostream>

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"-o", "--report"});
    Args args(words, valued, kOpenFlags);
    if (args.positional().size() != 2 || !args.has("-o"))
        throw UsageProblem{"expected IMAGE OTHER -o OUT.tbl"};
    OpenedCalibration opened(args.has("--yes")), lender(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    // The lender never searches a library: it must bring its own definitions.
    if (!lender.calibration.OpenCalibration(args.positional()[1]))
        return Failure;
    if (lender.calibration.entriesInUse() == 0) {
        std::cerr << "The other calibration has no definitions to carry.\n";
        return Failure;
    }
    Calibration& cal = opened.calibration;
    // As the scan dialog does: the heuristic scan first, so that the tables the
    // lender does not know still appear.
    cal.ScanHeuristic();
    const DefinitionCarrier::Result r = DefinitionCarrier::carry(cal, lender.calibration);
    if (!cal.SaveDefinitions(args.value("-o"))) {
        opened.prompter.message("Failed to save TBL!", "Error");
        return Failure;
    }
    const std::string report = DefinitionCarrier::report(r, lender.calibration);
    if (args.has("--report") && !AtomicFile::write(args.value("--report"), report)) {
        std::cerr << "Failed to write the report " << args.value("--report") << "\n";
        return Failure;
    }
    std::cout << r.carried.size() << " of " << r.carried.size() + r.missed.size()
              << " entries carried, " << cal.entriesInUse() << " entries in all\n";
    return Success;
}

const CommandRegistration registration{
    {"carry", "carry IMAGE OTHER -o OUT.tbl [--report FILE] [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
