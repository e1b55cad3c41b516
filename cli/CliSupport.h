#pragma once

#include "Calibration.h"
#include "CommandRegistry.h"
#include "ConsolePrompter.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tevra::cli {

// A calibration opened for a command, with the console answering its questions.
struct OpenedCalibration {
    ConsolePrompter prompter;
    Calibration calibration;
    explicit OpenedCalibration(bool yes) : prompter(yes) { calibration.setPrompter(&prompter); }
};

// Options every command that opens a calibration accepts.
inline const std::set<std::string> kOpenValued{"--library"};
inline const std::set<std::string> kOpenFlags{"--yes"};

// Opens as the editor opens: image, its definition file beside it, the library
// match (--library DIR, accepted with --yes). A bare image without definitions gets
// the base address the editor proposes for it. False after the model's message.
bool openCalibration(OpenedCalibration& opened, const std::string& path, const Args& args);

// Reads the calibration's definitions from another file instead (the image stays;
// the entries and settings are those of the file). False when it cannot be read.
bool useDefinitions(Calibration& cal, const std::string& tbl);

// The base the editor proposes for an image without definitions: the base of its
// S-records, or 0x10000 - length for a raw image.
std::int32_t proposedBase(const Calibration& cal);

// Reads "C000" or "0xC000"; throws UsageProblem otherwise.
std::uint32_t parseHexOption(const std::string& text, const std::string& option);
double parseNumberOption(const std::string& text, const std::string& option);
// Throws UsageProblem unless an image of this length lies within 0x0000-0xFFFF at
// --base, the rule the Calibration Data dialog applies to a typed base.
void requireBaseFits(std::uint32_t base, std::int32_t imageLength);

// Writes the image as .bin or .s19 by OUT's extension, either with the checksum fixed
// first when the calibration asks for it; false after the model's message.
bool writeImage(Calibration& cal, const std::string& out);

} // namespace tevra::cli
