#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace tevra {

// File paths as the model holds them (bytes in the file system's encoding) and
// as Qt shows them.
inline std::string toPath(const QString& s) {
    return QFile::encodeName(s).toStdString();
}
inline QString fromPath(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

} // namespace tevra
