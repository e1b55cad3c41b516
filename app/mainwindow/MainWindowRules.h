#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tevra {

class CalEntry;
class Calibration;

// The three orders the entry list can be sorted in, as its radio buttons name them.
enum class ListOrder { Name, Address, Type };

// The entries of a calibration in the list's order. Equal keys keep slot order;
// empty slots are skipped; in type order an entry of a type outside 0..8 is left out.
std::vector<CalEntry*> orderedEntries(const Calibration& cal, ListOrder order);

// "C1A4: Unsigned 8-Bit": the address in hexadecimal and the type's display text
// (the address part alone for a type outside 0..8).
std::string infoLineText(const CalEntry& entry);

// Which of "Sc&ale" and "&Binary" a selected entry allows.
struct EntryCommands {
    bool scale = false;
    bool binary = false;
};
EntryCommands commandsFor(const CalEntry& entry, bool readOnly);

// The base address proposed for an image opened without definitions: what the
// S-record reader found for ".s19", otherwise the image is taken to end at 0xFFFF.
std::int32_t proposedBaseAddress(const std::string& imagePath, const Calibration& cal);

// A cheap digest of every definition (slot by slot, every field the definition
// file keeps; empty slots left out): two equal values mean, in practice, that no
// entry was added, deleted or changed in between.
std::uint64_t definitionsFingerprint(const Calibration& cal);

} // namespace tevra
