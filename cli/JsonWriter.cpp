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

void JsonWriter::value(std::string_view s) {
    separate();
    out_ += '"';
    for (unsigned char c : s) {
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
            } else {
                out_ += static_cast<char>(c);
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
