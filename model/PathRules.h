#pragma once

#include <string>

namespace tevra::path {

// The extension of a path: from its last "." when that dot stands at index 2 or
// later and inside the file name (a dot in a folder name is not an extension).
// Empty when there is none.
std::string extension(const std::string& path);
// The path without its extension.
std::string stem(const std::string& path);

} // namespace tevra::path
