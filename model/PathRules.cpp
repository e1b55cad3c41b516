#include "PathRules.h"

namespace tevra::path {

namespace {
std::string::size_type extensionStart(const std::string& path) {
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || dot < 2)
        return std::string::npos;
    const auto sep = path.find_last_of("/\\");
    if (sep != std::string::npos && sep > dot)
        return std::string::npos;
    return dot;
}
} // namespace

std::string extension(const std::string& path) {
    const auto dot = extensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string stem(const std::string& path) {
    const auto dot = extensionStart(path);
    return dot == std::string::npos ? path : path.substr(0, dot);
}

} // namespace tevra::path
