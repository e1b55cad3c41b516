#include "ScriptedEcm.h"

namespace tevra::test {

bool ScriptedEcm::Open() {
    if (failOpen) {
        return false;
    }
    rx_.clear();
    open_ = true;
    ++opens;
    return true;
}

std::uint8_t ScriptedEcm::RxPop() {
    if (rx_.empty()) {
        return 0;
    }
    const std::uint8_t b = rx_.front();
    rx_.pop_front();
    return b;
}

bool ScriptedEcm::waitForRx(int timeoutMs) {
    if (!rx_.empty()) {
        return true;
    }
    clock_.advance(timeoutMs);
    return false;
}

std::vector<ScriptedEcm::Command> ScriptedEcm::commandsWith(std::uint8_t code) const {
    std::vector<Command> found;
    for (const auto& c : commands) {
        if (c.code == code) {
            found.push_back(c);
        }
    }
    return found;
}

void ScriptedEcm::Send(const std::uint8_t* bytes, std::size_t length) {
    if (!open_) {
        return;
    }
    if (baud_ == 1200) {
        bootBytes_.insert(bootBytes_.end(), bytes, bytes + length);
        if (bootBytes_.size() >= 257 && bootBytes_[0] == 0xFF) {
            for (int i = 0; i < 256; ++i) {
                memory[static_cast<std::size_t>(i)] = bootBytes_[static_cast<std::size_t>(i + 1)];
            }
            loaded = true;
        }
        return;
    }
    sendLengths.push_back(length);
    for (std::size_t i = 0; i < length; ++i) {
        if (echo) {
            rx_.push_back(bytes[i]);
        } else if (loaded && !deaf) {
            receive(bytes[i]);
        }
    }
}

void ScriptedEcm::receive(std::uint8_t b) {
    if (writeLeft_ > 0) {
        if (!noSdp) {
            memory[static_cast<std::size_t>(writeAddress_ & 0xFFFF)] = b;
        }
        ++writeAddress_;
        --writeLeft_;
        return;
    }
    frame_.push_back(b);
    if (frame_.size() == 1) {
        rx_.push_back(static_cast<std::uint8_t>(~b));
    }
    if (frame_.size() == 4) {
        execute();
        frame_.clear();
    }
}

void ScriptedEcm::execute() {
    const Command c{frame_[0], frame_[1], (frame_[2] << 8) | frame_[3]};
    commands.push_back(c);
    if (c.code == 0x01) {
        const int n = readLimit ? readLimit(c) : c.count;
        for (int i = 0; i < n; ++i) {
            const int a = (c.address + i) & 0xFFFF;
            std::uint8_t b = memory[static_cast<std::size_t>(a)];
            if (readFilter) {
                b = readFilter(a, b);
            }
            rx_.push_back(b);
        }
    } else if (c.code == 0x51) {
        writeLeft_ = c.count;
        writeAddress_ = c.address;
    }
}

} // namespace tevra::test
