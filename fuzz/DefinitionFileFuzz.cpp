// Any definition file loads without harm, and what the program writes back
// reads as the same calibration.
#include "Calibration.h"
#include "MemoryFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace tevra;

namespace {
bool sameEntry(const CalEntry& a, const CalEntry& b) {
    return a.type == b.type && a.name == b.name && a.address == b.address && a.xName == b.xName &&
           a.xUnit == b.xUnit && a.yName == b.yName && a.yUnit == b.yUnit &&
           a.chryslerName == b.chryslerName && a.description == b.description &&
           a.userFlag == b.userFlag &&
           (a.type != EntryType::FlagByte || a.itemNames == b.itemNames) &&
           (a.type != EntryType::ValueList ||
            (a.itemNames == b.itemNames && a.itemValues == b.itemValues));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile in;
    // Saving flushes to disk; a memory-backed folder keeps that cheap. The file is
    // removed when the fuzzer exits normally.
    struct ScratchFile {
        std::string path = (std::filesystem::path(std::filesystem::exists("/dev/shm")
                                                      ? "/dev/shm"
                                                      : std::filesystem::temp_directory_path()) /
                            ("tevra-fuzz-" + std::to_string(getpid()) + ".tbl"))
                               .string();
        ~ScratchFile() { std::remove(path.c_str()); }
    };
    static const ScratchFile scratch;
    const std::string& out = scratch.path;
    in.set(data, size);
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(data, data + std::min<std::size_t>(size, 256)));
    if (!cal.LoadDefinitions(in.path()))
        std::abort();
    cal.SetImage(std::vector<std::uint8_t>(cal.image()));
    for (int i = 0; i < cal.entryCount(); ++i)
        if (CalEntry* e = cal.EntryAt(i)) {
            // The entry reader has a fuzz target of its own; here each entry is read at
            // its first points and its last, where a wrong position or count shows.
            const int p = e->PointCount();
            for (const int k : {0, 1, 2, p - 2, p - 1, p})
                (void)(e->GetX(k) + e->GetY(k) + e->GetSlope(k));
            (void)e->inImage();
        }
    if (!cal.SaveDefinitions(out))
        return 0;
    Calibration back;
    if (!back.LoadDefinitions(out))
        std::abort();
    // Entry slots are compacted by the writer (holes are not written).
    int j = 0;
    for (int i = 0; i < cal.entryCount(); ++i) {
        const CalEntry* a = cal.EntryAt(i);
        if (!a)
            continue;
        const CalEntry* b = back.EntryAt(j++);
        if (!b || !sameEntry(*a, *b))
            std::abort();
    }
    if (back.baseAddress != cal.baseAddress || back.checksumEnabled != cal.checksumEnabled ||
        back.checksumAddress != cal.checksumAddress || back.fixupAddress != cal.fixupAddress)
        std::abort();
    return 0;
}
