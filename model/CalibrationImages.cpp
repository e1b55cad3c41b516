// Image files (.bin, .s19) and opening and saving a whole calibration.
#include "AtomicFile.h"
#include "Calibration.h"
#include "FileReader.h"
#include "PathRules.h"
#include "SRecord.h"
#include "TextRules.h"

#include <algorithm>
#include <filesystem>

namespace tevra {

namespace {

// The controller's address space is 64 KB; a larger file cannot be a calibration
// image, and reading it whole would only exhaust memory.
constexpr std::uintmax_t kMaxBinaryLength = 0x10000;

const char* const kLoadFailed = "Failed to load binary file!";

} // namespace

bool Calibration::readImageFile(const std::string& path, std::uintmax_t limit, std::string& out) {
    FileReader::Result file = FileReader::read(path, limit);
    if (!file.ok()) {
        if (!file.problem.empty())
            prompter().message(file.problem, "Error");
        return false;
    }
    out = std::move(file.data);
    return true;
}

bool Calibration::LoadBinary(const std::string& path) {
    std::string data;
    // An empty file is no calibration: saving it back would write nothing.
    if (!readImageFile(path, kMaxBinaryLength, data) || data.empty())
        return false;
    SetImage(std::vector<std::uint8_t>(data.begin(), data.end()));
    imagePath = path;
    return true;
}

bool Calibration::LoadS19(const std::string& path) {
    std::string data;
    if (!readImageFile(path, FileReader::kTextLimit, data))
        return false;
    SRecord::Image img = SRecord::read(data);
    // A file the reader found no data in (S-records of another kind, another
    // encoding, no S-records at all) must not open as an empty image that a save
    // would then write over it.
    if (img.bytes.empty())
        return false;
    // A wrong byte in a calibration is exactly what must not slip through unnoticed.
    if (img.firstDamagedLine != 0 &&
        !prompter().askYesNo("S19 checksum error in line " + std::to_string(img.firstDamagedLine) +
                                 ". Load anyway?",
                             "Warning"))
        return false;
    baseAddress = img.baseAddress;
    SetImage(std::move(img.bytes));
    imagePath = path;
    return true;
}

bool Calibration::SaveBinary(const std::string& path) {
    PrepareImageForWrite();
    std::string_view bytes(reinterpret_cast<const char*>(image_.data()), image_.size());
    if (!AtomicFile::write(path, bytes)) {
        prompter().message("Failed to save binary!", "Error");
        return false;
    }
    return true;
}

bool Calibration::SaveS19(const std::string& path) {
    // S1 records carry 16-bit addresses: an image that does not lie within
    // 0x0000-0xFFFF (a base read from a definition file made for a smaller image)
    // would wrap around and read back scrambled.
    const bool fits =
        baseAddress >= 0 && std::int64_t{baseAddress} + imageLength() <= std::int64_t{0x10000};
    if (!fits || !AtomicFile::write(path, SRecord::write(image_, baseAddress))) {
        prompter().message("Failed to save S19!", "Error");
        return false;
    }
    return true;
}

std::string Calibration::FindLibraryMatch(const std::string& folder) const {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const auto& p = it->path();
        if (text::equalsNoCase(p.extension().string(), ".tbl"))
            files.push_back(p);
    }
    // Directory order differs between file systems; a sorted walk finds the same
    // file on every machine.
    std::sort(files.begin(), files.end());
    const std::uint32_t crc = ImageCrc32();
    for (const auto& p : files) {
        std::uint32_t fileCrc = 0;
        std::string problem;
        if (ReadDefinitionCrc(p.string(), fileCrc, &problem) && fileCrc == crc)
            return p.string();
        // A library file that cannot be read is named and passed over.
        if (!problem.empty())
            prompter().message(problem, "Error");
    }
    return {};
}

bool Calibration::OpenCalibration(const std::string& path) {
    Clear();
    if (path.empty())
        return false;
    const std::string stem = path::stem(path);
    const std::string ext = text::toLowerAscii(path::extension(path));
    bool loaded = false;
    if (ext == ".bin")
        loaded = LoadBinary(path);
    else if (ext.rfind(".s19", 0) == 0)
        loaded = LoadS19(path);
    if (!loaded) {
        Clear();
        prompter().message(kLoadFailed, "Error");
        return false;
    }
    // The definition file beside the image: stem.tbl, or stem.TBL as the library
    // copy is named (the two differ on a case-sensitive file system).
    FileRead definitions = readDefinitions(stem + ".tbl");
    if (definitions == FileRead::Missing)
        definitions = readDefinitions(stem + ".TBL");
    // One that is there but cannot be read stops the open: going on without it
    // would let the next save replace it with a file of no entries.
    if (definitions == FileRead::Refused) {
        Clear();
        return false;
    }
    if (definitions == FileRead::Missing && !libraryFolder.empty()) {
        const std::string match = FindLibraryMatch(libraryFolder);
        if (!match.empty() && prompter().askYesNo("No TBL found, but found library match. Load it?",
                                                  "Load Library TBL")) {
            const std::string copyPath = stem + ".TBL";
            if (AtomicFile::copy(match, copyPath)) {
                LoadDefinitions(copyPath);
            } else if (LoadDefinitions(match)) {
                // The folder of the image cannot take the copy: use the library file
                // for now and let the next save write the copy beside the image.
                definitionPath = copyPath;
                SetDefinitionsModified(true);
            }
        }
    }
    repositionAll();
    return true;
}

bool Calibration::SaveCalibration() {
    const std::string stem = path::stem(imagePath);
    bool imageSaved = true;
    if (dataModified_) {
        const bool bin = SaveBinary(stem + ".bin");
        const bool s19 = SaveS19(stem + ".s19");
        imageSaved = bin && s19;
    }
    if (definitionPath.empty())
        definitionPath = stem + ".tbl";
    bool definitionsSaved = true;
    if (definitionsModified_) {
        definitionsSaved = SaveDefinitions(definitionPath);
        if (!definitionsSaved)
            prompter().message("Failed to save TBL!", "Error");
    }
    // A part that could not be written keeps its modified flag, so the user is
    // still asked before anything is lost.
    SetDataModified(dataModified_ && !imageSaved);
    SetDefinitionsModified(definitionsModified_ && !definitionsSaved);
    return imageSaved && definitionsSaved;
}

} // namespace tevra
