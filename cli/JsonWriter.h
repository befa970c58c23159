#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Writes one JSON document as compact text. Every string is escaped down to ASCII (control characters
// and everything beyond U+007F as \u escapes, surrogate pairs above U+FFFF), so the document reads the
// same in any code page; bytes that are not UTF-8 become U+FFFD. Commas are placed by the writer.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the open object.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(uint64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return text_; }

private:
    void BeforeValue();
    void Quoted(std::string_view utf8);

    std::string text_;
    std::vector<bool> hasMembers_; // one per open object or array
    bool afterKey_ = false;
};
