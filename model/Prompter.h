#pragma once

#include <string>

namespace tevra {

// How the model tells the user something or asks a question. The model never
// shows anything itself: the editor answers with message boxes, the command-line
// tool on the console, tests with a scripted fake.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A modal message with an OK button.
    virtual void message(const std::string& text, const std::string& caption) = 0;
    // A Yes/No question; true means Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
};

// Says nothing and answers every question with No.
class SilentPrompter final : public Prompter {
public:
    void message(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
};

} // namespace tevra
