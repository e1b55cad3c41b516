#pragma once

#include "CalEntry.h"
#include "DefinitionsState.h"
#include "Prompter.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tevra {

// One loaded calibration: the image bytes from `baseAddress` upward, up to 1000
// definition slots, the calibration-wide settings and the two modified flags.
// File operations report through the Prompter the caller supplies.
class Calibration {
public:
    static constexpr int kMaxEntries = 1000;

    Calibration();
    ~Calibration();
    Calibration(const Calibration&) = delete;
    Calibration& operator=(const Calibration&) = delete;

    // ---- calibration-wide settings ----
    std::int32_t baseAddress = 0xC000;
    std::string description = "Tevra Calibration";
    std::string author = "Tevra";
    float injectorSize = 33.0f;
    float maxBoost = 12.0f;
    float mapType = 2.0f;
    bool checksumEnabled = false;
    std::int32_t checksumAddress = 0;
    std::int32_t fixupAddress = 0;
    std::string libraryFolder;
    std::string imagePath;
    std::string definitionPath;
    bool readOnly = true;

    void setPrompter(Prompter* p) { prompter_ = p ? p : &silent_; }
    Prompter& prompter() const { return *prompter_; }

    // ---- entries ----
    CalEntry* NewEntry();
    CalEntry* EntryAt(int i) const;
    int entryCount() const { return entryCount_; }
    // Slots that hold an entry (the count above includes the holes).
    int entriesInUse() const;
    CalEntry* FindByAddress(std::int32_t a, const CalEntry* except) const;
    CalEntry* FindByName(const std::string& s, const CalEntry* except) const;
    void DeleteEntry(CalEntry* e);
    void Clear();
    // The definitions as one value, and putting such a value back into the same
    // calibration. Restoring replaces every entry object: whoever holds an entry
    // must drop it first. The image and the modified flags are left alone.
    DefinitionsState definitionsState() const;
    void RestoreDefinitions(const DefinitionsState& state);

    // ---- image ----
    bool hasImage() const { return hasImage_; }
    const std::vector<std::uint8_t>& image() const { return image_; }
    std::int32_t imageLength() const { return static_cast<std::int32_t>(image_.size()); }
    // Takes the buffer as the image and re-points every entry into it.
    void SetImage(std::vector<std::uint8_t> buffer);
    // Releases the image (entries stay, unpositioned).
    void releaseImage();
    // Raw access for the flash code and the undo history; offsets outside are ignored.
    int imageByte(std::int64_t offset) const;
    void setImageByte(std::int64_t offset, int v);
    bool Rebase(std::int32_t newBase, bool checkOnly);
    void ApplyChecksum();
    // What every write of the image does first, to a file or to the controller:
    // the checksum fix-up, when the calibration asks for it. So a flash sends
    // exactly the bytes a save writes, and the open calibration holds them too.
    void PrepareImageForWrite();
    std::uint32_t ImageCrc32() const;

    // ---- flags ----
    bool dataModified() const { return dataModified_; }
    bool definitionsModified() const { return definitionsModified_; }
    void SetDataModified(bool b);
    void SetDefinitionsModified(bool b);
    void setModifiedCallback(std::function<void()> cb) { modifiedCallback_ = std::move(cb); }
    // Called with (offset, old byte) before every byte an entry edit changes; the undo
    // history of the editor listens here.
    void setByteObserver(std::function<void(std::int64_t, std::uint8_t)> cb) {
        byteObserver_ = std::move(cb);
    }

    // ---- definition file ----
    bool SaveDefinitions(const std::string& path);
    // False when the file is missing, or exists but cannot be read (after a
    // message saying why).
    bool LoadDefinitions(const std::string& path);
    // problem, when given, receives what to tell the user about a file that
    // exists but cannot be read (empty otherwise).
    static bool ReadDefinitionCrc(const std::string& path, std::uint32_t& crc,
                                  std::string* problem = nullptr);

    // ---- image files ----
    // False when the file cannot be read or yields no data byte; a file that
    // exists but is no image file is named in a message. LoadS19 asks before it
    // takes a damaged record.
    bool LoadBinary(const std::string& path);
    bool LoadS19(const std::string& path);
    bool SaveBinary(const std::string& path);
    bool SaveS19(const std::string& path);
    std::string FindLibraryMatch(const std::string& folder) const;
    bool OpenCalibration(const std::string& path);
    // Writes what is modified; false when any part could not be written (its
    // modified flag then stays set).
    bool SaveCalibration();

    // ---- table scan ----
    void ScanHeuristic();
    void CrossIdentify(const std::string& path, float threshold);

private:
    enum class FileRead { Done, Missing, Refused };
    FileRead readDefinitions(const std::string& path);
    bool readImageFile(const std::string& path, std::uintmax_t limit, std::string& out);
    void repositionAll();

    std::array<std::unique_ptr<CalEntry>, kMaxEntries> entries_;
    int entryCount_ = 0;
    std::vector<std::uint8_t> image_;
    bool hasImage_ = false;
    bool dataModified_ = false;
    bool definitionsModified_ = false;
    std::function<void()> modifiedCallback_;
    std::function<void(std::int64_t, std::uint8_t)> byteObserver_;
    SilentPrompter silent_;
    Prompter* prompter_ = &silent_;
};

} // namespace tevra
