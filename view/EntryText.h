#pragma once

#include <QString>

#include <string>

namespace tevra {

// Definition texts are stored as the 8-bit ANSI text the definition files hold;
// Latin-1 shows their accented letters and degree signs as written.
inline QString entryText(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace tevra
