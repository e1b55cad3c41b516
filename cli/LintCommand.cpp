// tevra-cli lint: mistakes in a calibration's definitions.
#include "CliSupport.h"
#include "DefinitionLint.h"
#include "JsonWriter.h"
#include "TextColumns.h"
#include "TextRules.h"

#include <iostream>

namespace tevra::cli {
namespace {

int run(const std::vector<std::string>& words) {
    auto flags = kOpenFlags;
    flags.insert("--json");
    Args args(words, kOpenValued, flags);
    if (args.positional().size() != 1)
        throw UsageProblem{"expected one IMAGE"};
    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    const auto findings = DefinitionLint::check(opened.calibration);
    if (args.has("--json")) {
        JsonWriter j;
        j.beginArray();
        for (const auto& f : findings) {
            j.beginObject();
            j.key("kind");
            j.value(DefinitionLint::kindName(f.kind));
            j.key("address");
            j.value(f.address);
            j.key("names");
            j.beginArray();
            for (const auto& n : f.names)
                j.value(n);
            j.endArray();
            j.key("message");
            j.value(f.message);
            j.endObject();
        }
        j.endArray();
        std::cout << j.str() << "\n";
    } else {
        TextColumns t;
        for (const auto& f : findings)
            t.add({text::formatHex(static_cast<std::uint32_t>(f.address), 4),
                   DefinitionLint::kindName(f.kind), f.message});
        t.print(std::cout, "");
    }
    return findings.empty() ? Success : Failure;
}

const CommandRegistration registration{
    {"lint", "lint IMAGE [--json] [--library DIR] [--yes]", run}};

} // namespace
} // namespace tevra::cli
