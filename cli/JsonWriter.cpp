#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tevra::cli {

void JsonWriter::separate() {
    if (needComma_)
        out_ += ',';
    needComma_ = false;
}

void JsonWriter::beginObject() {
    separate();
    out_ += '{';
}
void JsonWriter::endObject() {
    out_ += '}';
    needComma_ = true;
}
void JsonWriter::beginArray() {
    separate();
    out_ += '[';
}
void JsonWriter::endArray() {
    out_ += ']';
    needComma_ = true;
}

void JsonWriter::key(std::string_view k) {
    value(k);
    out_ += ':';
    needComma_ = false;
}

namespace {

// Length of the well-formed UTF-8 sequence starting at s[i], or 0 when there is none.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + n > s.size() || byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return n;
}

} // namespace

void JsonWriter::value(std::string_view s) {
    separate();
    out_ += '"';
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '"':
            out_ += "\\\"";
            break;
        case '\\':
            out_ += "\\\\";
            break;
        case '\n':
            out_ += "\\n";
            break;
        case '\r':
            out_ += "\\r";
            break;
        case '\t':
            out_ += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            } else if (c < 0x80) {
                out_ += static_cast<char>(c);
            } else if (const std::size_t n = utf8Length(s, i); n > 0) {
                out_.append(s.substr(i, n));
                i += n - 1;
            } else {
                // Definition files written on Windows hold texts in a single-byte
                // code page (a unit of degrees as the byte B0); such a byte is taken
                // as Latin-1 so that the output stays valid UTF-8, as JSON must be.
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            }
        }
    }
    out_ += '"';
    needComma_ = true;
}

void JsonWriter::value(std::int64_t v) {
    separate();
    out_ += std::to_string(v);
    needComma_ = true;
}

void JsonWriter::value(float v) {
    if (!std::isfinite(v)) {
        null();
        return;
    }
    separate();
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out_.append(buf, res.ptr);
    needComma_ = true;
}

void JsonWriter::value(bool b) {
    separate();
    out_ += b ? "true" : "false";
    needComma_ = true;
}

void JsonWriter::null() {
    separate();
    out_ += "null";
    needComma_ = true;
}

} // namespace tevra::cli
