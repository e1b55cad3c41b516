#include "Calibration.h"

#include "Crc32.h"
#include "TextRules.h"

#include <algorithm>

namespace tevra {

Calibration::Calibration() {
    Clear();
}

Calibration::~Calibration() = default;

// ---------------------------------------------------------------- entries

CalEntry* Calibration::NewEntry() {
    int slot = -1;
    for (int i = 0; i < entryCount_; ++i) {
        if (!entries_[i]) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        if (entryCount_ >= kMaxEntries)
            return nullptr;
        slot = entryCount_++;
    }
    entries_[slot] = std::make_unique<CalEntry>(this);
    return entries_[slot].get();
}

CalEntry* Calibration::EntryAt(int i) const {
    if (i < 0 || i >= entryCount_)
        return nullptr;
    return entries_[i].get();
}

int Calibration::entriesInUse() const {
    int n = 0;
    for (int i = 0; i < entryCount_; ++i)
        n += entries_[i] != nullptr;
    return n;
}

CalEntry* Calibration::FindByAddress(std::int32_t a, const CalEntry* except) const {
    for (int i = 0; i < entryCount_; ++i) {
        CalEntry* e = entries_[i].get();
        if (e && e != except && e->address == a)
            return e;
    }
    return nullptr;
}

CalEntry* Calibration::FindByName(const std::string& s, const CalEntry* except) const {
    for (int i = 0; i < entryCount_; ++i) {
        CalEntry* e = entries_[i].get();
        if (e && e != except && text::equalsNoCase(e->name, s))
            return e;
    }
    return nullptr;
}

void Calibration::DeleteEntry(CalEntry* e) {
    for (int i = 0; i < entryCount_; ++i) {
        if (entries_[i].get() == e) {
            entries_[i].reset();
            return;
        }
    }
}

void Calibration::Clear() {
    for (auto& e : entries_)
        e.reset();
    entryCount_ = 0;
    releaseImage();
    baseAddress = 0xC000;
    description = "Tevra Calibration";
    author = "Tevra";
    injectorSize = 33.0f;
    maxBoost = 12.0f;
    mapType = 2.0f;
    checksumEnabled = false;
    checksumAddress = 0;
    fixupAddress = 0;
    imagePath.clear();
    definitionPath.clear();
}

// ---------------------------------------------------------------- image

void Calibration::SetImage(std::vector<std::uint8_t> buffer) {
    image_ = std::move(buffer);
    image_.shrink_to_fit();
    hasImage_ = true;
    repositionAll();
}

DefinitionsState Calibration::definitionsState() const {
    DefinitionsState s;
    s.baseAddress = baseAddress;
    s.description = description;
    s.author = author;
    s.injectorSize = injectorSize;
    s.maxBoost = maxBoost;
    s.mapType = mapType;
    s.checksumEnabled = checksumEnabled;
    s.checksumAddress = checksumAddress;
    s.fixupAddress = fixupAddress;
    s.entrySlots.reserve(static_cast<std::size_t>(entryCount_));
    for (int i = 0; i < entryCount_; ++i) {
        if (entries_[static_cast<std::size_t>(i)])
            s.entrySlots.emplace_back(*entries_[static_cast<std::size_t>(i)]);
        else
            s.entrySlots.emplace_back(std::nullopt);
    }
    return s;
}

void Calibration::RestoreDefinitions(const DefinitionsState& s) {
    baseAddress = s.baseAddress;
    description = s.description;
    author = s.author;
    injectorSize = s.injectorSize;
    maxBoost = s.maxBoost;
    mapType = s.mapType;
    checksumEnabled = s.checksumEnabled;
    checksumAddress = s.checksumAddress;
    fixupAddress = s.fixupAddress;
    for (auto& e : entries_)
        e.reset();
    entryCount_ = std::min(static_cast<int>(s.entrySlots.size()), kMaxEntries);
    for (int i = 0; i < entryCount_; ++i) {
        const auto& slot = s.entrySlots[static_cast<std::size_t>(i)];
        if (!slot)
            continue;
        // The copies still name this calibration as their owner: a state is only
        // ever restored into the calibration it was taken from.
        entries_[static_cast<std::size_t>(i)] = std::make_unique<CalEntry>(*slot);
    }
    repositionAll();
}

void Calibration::releaseImage() {
    image_.clear();
    image_.shrink_to_fit();
    hasImage_ = false;
}

void Calibration::repositionAll() {
    for (int i = 0; i < entryCount_; ++i)
        if (entries_[i])
            entries_[i]->reposition();
}

int Calibration::imageByte(std::int64_t offset) const {
    if (offset < 0 || offset >= static_cast<std::int64_t>(image_.size()))
        return 0xFF;
    return image_[static_cast<std::size_t>(offset)];
}

void Calibration::setImageByte(std::int64_t offset, int v) {
    if (offset < 0 || offset >= static_cast<std::int64_t>(image_.size()))
        return;
    auto& b = image_[static_cast<std::size_t>(offset)];
    if (byteObserver_)
        byteObserver_(offset, b);
    b = static_cast<std::uint8_t>(v);
}

bool Calibration::Rebase(std::int32_t newBase, bool checkOnly) {
    for (int i = 0; i < entryCount_; ++i) {
        CalEntry* e = entries_[i].get();
        if (!e)
            continue;
        const std::int64_t moved = std::int64_t{e->address} - baseAddress + newBase;
        if (moved < 0 || moved > 0xFFFF) {
            if (checkOnly)
                return false;
            entries_[i].reset();
            continue;
        }
        if (!checkOnly)
            e->address = static_cast<std::int32_t>(moved);
    }
    if (!checkOnly) {
        baseAddress = newBase;
        repositionAll();
    }
    return true;
}

void Calibration::ApplyChecksum() {
    const std::int64_t length = imageLength();
    const std::int64_t c = std::int64_t{checksumAddress} - baseAddress;
    const std::int64_t f = std::int64_t{fixupAddress} - baseAddress;
    if (c < 0 || c >= length || f < 0 || f >= length)
        return;
    std::uint8_t sum = 0;
    for (std::int64_t i = 0; i < length; ++i) {
        auto& b = image_[static_cast<std::size_t>(i)];
        if (i == c) {
            b = 0xFF;
            sum = static_cast<std::uint8_t>(sum + 0xFF);
        } else if (i == f) {
            continue;
        } else if (length == 0x8000 && baseAddress + i >= 0xB600 && baseAddress + i <= 0xB7FF) {
            continue;
        } else {
            sum = static_cast<std::uint8_t>(sum + b);
        }
    }
    image_[static_cast<std::size_t>(f)] = static_cast<std::uint8_t>(0xFF - sum);
}

void Calibration::PrepareImageForWrite() {
    if (checksumEnabled)
        ApplyChecksum();
}

std::uint32_t Calibration::ImageCrc32() const {
    return Crc32::compute(image_.data(), image_.size());
}

// ---------------------------------------------------------------- flags

void Calibration::SetDataModified(bool b) {
    dataModified_ = b;
    if (modifiedCallback_)
        modifiedCallback_();
}

void Calibration::SetDefinitionsModified(bool b) {
    definitionsModified_ = b;
    if (modifiedCallback_)
        modifiedCallback_();
}

} // namespace tevra
