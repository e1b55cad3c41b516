#pragma once

#include "Prompter.h"

#include <string>

namespace tevra {

// The model's prompter plus the one question only the main window asks: a
// Yes/No/Cancel box ("Save Changes"). Tests answer it from a script.
class AppPrompter : public Prompter {
public:
    enum class Answer { Yes, No, Cancel };
    virtual Answer askYesNoCancel(const std::string& text, const std::string& caption) = 0;
};

} // namespace tevra
