#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tevra::cli {

// A small streaming JSON writer: enough for the dump command, with strings
// escaped and non-finite numbers written as null.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view k);
    void value(std::string_view s);
    void value(const char* s) { value(std::string_view(s)); }
    void value(std::int64_t v);
    void value(int v) { value(static_cast<std::int64_t>(v)); }
    void value(float v);
    void value(bool b);
    void null();
    const std::string& str() const { return out_; }

private:
    void separate();
    std::string out_;
    bool needComma_ = false;
};

} // namespace tevra::cli
