#pragma once

#include "Prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace tevra::test {

// Records every message and answers questions from a script (No when it runs out).
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        std::string text, caption;
        bool question;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;

    void message(const std::string& text, const std::string& caption) override {
        shown.push_back({text, caption, false});
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back({text, caption, true});
        if (answers.empty())
            return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : shown)
            out.push_back(s.text);
        return out;
    }
};

} // namespace tevra::test
