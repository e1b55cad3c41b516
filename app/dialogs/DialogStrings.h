#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace tevra {

// The model keeps its texts as the 8-bit ANSI text of its files (Latin-1 here) and
// its paths in the file system's encoding; the dialogs convert at their edges.
inline QString toQt(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string fromQt(const QString& s) {
    return s.toLatin1().toStdString();
}
inline QString pathToQt(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}
inline std::string pathFromQt(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

} // namespace tevra
