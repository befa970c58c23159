#pragma once
#include "engine/EraseMode.h"
#include "engine/NamePattern.h"

#include <cstdint>
#include <string>
#include <vector>

// What an item's keep patterns and age limit spare. A path is kept when it is, or lies inside, a path its
// patterns name (tokens expanded, each part matched by the file-name rules, a "**" part standing for any
// number of folders, none included), or when it is a file written less than the limit ago.
class KeepFilter final : public EntryFilter {
public:
    // now in 100-nanosecond steps since 1601.
    KeepFilter(const std::vector<std::string>& keep, int olderThanHours, uint64_t now);

    // False when a pattern's token cannot be resolved: what it keeps is unknown, so nothing may go.
    bool Valid() const { return valid_; }
    // Whether it keeps anything at all.
    bool Active() const { return !patterns_.empty() || youngest_ != 0; }

    bool Keeps(const std::string& path, uint64_t lastWrite) const override;

private:
    struct Part {
        NamePattern name;
        bool anyDepth; // "**"
    };
    static bool Inside(const std::vector<Part>& pattern, size_t next, const std::vector<std::wstring>& parts,
                       size_t at);

    std::vector<std::vector<Part>> patterns_; // the parts of each pattern
    uint64_t youngest_ = 0; // files written after this are kept; 0: no limit
    bool valid_ = true;
};

// The current time as KeepFilter takes it.
uint64_t FileTimeNow();
