#include "ParallelEeprom.h"

#include <cstdio>

namespace tevra::sim {

namespace {
constexpr std::uint16_t kUnlockAddress1 = 0x5555;
constexpr std::uint16_t kUnlockAddress2 = 0x2AAA;

std::string hex4(unsigned v) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", v & 0xFFFFu);
    return text;
}
} // namespace

ParallelEeprom::ParallelEeprom() {
    cells_.fill(0xFF);
}

void ParallelEeprom::advance(std::uint64_t nowCycles) {
    if (phase_ == Phase::Unlock1 || phase_ == Phase::Unlock2) {
        // An unlock sequence that stops half-way is forgotten.
        if (nowCycles > lastWriteAt_ + kByteLoadWindowCycles)
            phase_ = Phase::Idle;
    }
    if (phase_ == Phase::Loading && nowCycles > lastWriteAt_ + kByteLoadWindowCycles)
        startWriteCycle(lastWriteAt_ + kByteLoadWindowCycles, true);
    if (phase_ == Phase::Programming && nowCycles >= cycleEndsAt_) {
        if (cycleStores_) {
            const std::uint16_t base = static_cast<std::uint16_t>(page_ * kPageSize);
            for (std::size_t i = 0; i < kPageSize; ++i) {
                if (pageLoaded_[i])
                    cells_[base + i] = pageBuffer_[i];
            }
            ++pagesProgrammed_;
        }
        phase_ = Phase::Idle;
    }
}

bool ParallelEeprom::busy(std::uint64_t nowCycles) {
    advance(nowCycles);
    return phase_ == Phase::Loading || phase_ == Phase::Programming;
}

void ParallelEeprom::startWriteCycle(std::uint64_t at, bool stores) {
    phase_ = Phase::Programming;
    cycleStores_ = stores;
    cycleEndsAt_ = at + kWriteCycleCycles;
    if (log_) {
        if (stores)
            log_("eeprom: programming page " + hex4(0x8000u + page_ * kPageSize));
        else
            log_("eeprom: write without unlock sequence ignored");
    }
}

std::uint8_t ParallelEeprom::read(std::uint16_t address, std::uint64_t nowCycles) {
    advance(nowCycles);
    if (phase_ == Phase::Programming) {
        toggle_ = !toggle_;
        return static_cast<std::uint8_t>((~lastWritten_ & 0x80) | (toggle_ ? 0x40 : 0) |
                                         (lastWritten_ & 0x3F));
    }
    return cells_[address & 0x7FFF];
}

void ParallelEeprom::write(std::uint16_t address, std::uint8_t value, std::uint64_t nowCycles) {
    advance(nowCycles);
    const auto chip = static_cast<std::uint16_t>(address & 0x7FFF);
    switch (phase_) {
    case Phase::Programming:
        return; // the chip does not listen during its write cycle
    case Phase::Idle:
        if (!unlockIgnored_ && chip == kUnlockAddress1 && value == 0xAA) {
            phase_ = Phase::Unlock1;
        } else {
            lastWritten_ = value;
            startWriteCycle(nowCycles, false);
            return;
        }
        break;
    case Phase::Unlock1:
        phase_ = (chip == kUnlockAddress2 && value == 0x55) ? Phase::Unlock2 : Phase::Idle;
        break;
    case Phase::Unlock2:
        if (chip == kUnlockAddress1 && value == 0xA0) {
            phase_ = Phase::Loading;
            pageChosen_ = false;
            pageLoaded_.fill(false);
        } else {
            phase_ = Phase::Idle;
        }
        break;
    case Phase::Loading: {
        const auto page = static_cast<std::uint16_t>(chip / kPageSize);
        if (!pageChosen_) {
            page_ = page;
            pageChosen_ = true;
        }
        if (page == page_) {
            pageBuffer_[chip % kPageSize] = value;
            pageLoaded_[chip % kPageSize] = true;
            lastWritten_ = value;
        } else if (log_) {
            log_("eeprom: write to " + hex4(0x8000u | chip) + " outside the page being loaded");
        }
        break;
    }
    }
    lastWriteAt_ = nowCycles;
}

} // namespace tevra::sim
