// The table scan: proposing definitions for an image from its own code, and
// lending them from a calibration whose definitions are known.
#include "Calibration.h"
#include "CrossIdentifier.h"
#include "TableClassifier.h"
#include "TextRules.h"

#include <unordered_set>

namespace tevra {

namespace {

constexpr std::uint8_t kLoadIndexImmediate = 0xCE; // 68HC11 LDX #nnnn

std::string scannedName(EntryType type, std::int32_t address) {
    const std::string hex = text::formatHex(static_cast<std::uint32_t>(address));
    switch (type) {
    case EntryType::Unsigned8Table:
        return "T" + hex + " Unsigned Table";
    case EntryType::Unsigned16Table:
        return "T" + hex + " 16-Bit Table";
    case EntryType::Signed8Table:
        return "T" + hex + " Signed Table";
    case EntryType::Table3D:
        return "T" + hex + " 3D Table";
    case EntryType::Constant8:
    case EntryType::Constant16:
    case EntryType::FlagByte:
    case EntryType::ValueList:
        return "C" + hex + " Constant";
    default:
        return "T" + hex + " Unknown Type";
    }
}

} // namespace

void Calibration::ScanHeuristic() {
    if (!hasImage_ || image_.empty())
        return;
    const std::int64_t length = imageLength();
    const std::uint8_t* first = image_.data();
    const std::uint8_t* last = first + (length - 1);

    std::unordered_set<std::int32_t> known;
    for (int i = 0; i < entryCount_; ++i)
        if (entries_[i])
            known.insert(entries_[i]->address);

    bool added = false;
    for (std::int64_t i = 0; i + 2 < length; ++i) {
        if (image_[static_cast<std::size_t>(i)] != kLoadIndexImmediate)
            continue;
        const std::int32_t a =
            image_[static_cast<std::size_t>(i + 1)] * 256 + image_[static_cast<std::size_t>(i + 2)];
        // Strictly inside: an operand equal to the base is more likely a pointer
        // to the start of the calibration than a table.
        if (a <= baseAddress || std::int64_t{a} >= baseAddress + length)
            continue;
        if (known.count(a))
            continue;
        CalEntry* e = NewEntry();
        if (!e)
            break;
        e->Relocate(a);
        e->type = TableClassifier::ClassifyTable(first + (a - baseAddress), last);
        e->name = scannedName(e->type, a);
        known.insert(a);
        added = true;
    }
    if (added)
        SetDefinitionsModified(true);
}

void Calibration::CrossIdentify(const std::string& path, float threshold) {
    // The lending calibration lives only for this call; it never searches a
    // library, so an image without its own definition file lends nothing.
    auto other = std::make_unique<Calibration>();
    other->setPrompter(prompter_);
    ScanHeuristic();
    if (!other->OpenCalibration(path))
        return;
    CrossIdentifier::identify(*this, *other, threshold);
}

} // namespace tevra
