#pragma once

#include "FlashProgress.h"
#include "Prompter.h"

#include <string>
#include <utility>
#include <vector>

namespace tevra::test {

// Keeps every message (text, caption) in order.
class RecordingPrompter final : public Prompter {
public:
    void message(const std::string& text, const std::string& caption) override {
        messages.emplace_back(text, caption);
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages) {
            t.push_back(m.first);
        }
        return t;
    }

    std::vector<std::pair<std::string, std::string>> messages;
};

// Keeps every status text and the last range and position.
class RecordingProgress final : public FlashProgress {
public:
    void show() override { ++shown; }
    void setRange(int upper) override { range = upper; }
    void setPosition(int p) override { position = p; }
    void setStatusText(const std::string& text) override { statuses.push_back(text); }
    void hide() override { ++hidden; }

    int shown = 0;
    int hidden = 0;
    int range = -1;
    int position = -1;
    std::vector<std::string> statuses;
};

} // namespace tevra::test
