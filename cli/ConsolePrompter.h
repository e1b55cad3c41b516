#pragma once

#include "Prompter.h"

#include <iostream>

namespace tevra::cli {

// Messages go to stderr word for word; questions are answered by --yes (or No).
class ConsolePrompter final : public Prompter {
public:
    explicit ConsolePrompter(bool answerYes) : answerYes_(answerYes) {}

    void message(const std::string& text, const std::string&) override {
        std::cerr << text << "\n";
        ++messages_;
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        std::cerr << text << (answerYes_ ? " [yes]" : " [no; --yes accepts]") << "\n";
        return answerYes_;
    }
    int messageCount() const { return messages_; }

private:
    bool answerYes_;
    int messages_ = 0;
};

} // namespace tevra::cli
