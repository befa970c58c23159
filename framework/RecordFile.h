#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Reads values from a record file: lines "[section]" and "key=value". Opened and closed per lookup.
class RecordFile {
public:
    explicit RecordFile(std::string path) : path_(std::move(path)) {}

    // The value of the first line naming key after the line "[section]" (matched exactly, a later
    // section included), with blanks trimmed; defaultValue when there is none.
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;
    // The value's leading decimal integer (0 when it has none), or defaultValue when it is empty.
    int GetInt(const std::string& section, const std::string& key, int defaultValue) const;
    // A count written by another program: 0 when the value is missing or empty, nothing when it is not
    // plain decimal digits or exceeds 2^53 (beyond which a double, and so a JSON reader, loses units).
    std::optional<uint64_t> GetCount(const std::string& section, const std::string& key) const;
    // Whether the value is "true" in any case, or defaultValue when it is empty.
    bool GetBool(const std::string& section, const std::string& key, bool defaultValue) const;

private:
    std::string path_;
};
