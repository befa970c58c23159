#pragma once
#include "engine/EraseMode.h"
#include "engine/files/NamePattern.h"

#include <cstdint>
#include <string>
#include <vector>

// What an item's keep patterns and age limit spare. A path is kept when it is, or lies inside, a path its
// patterns name (tokens expanded, each part matched by the file-name rules, a "**" part standing for any
// number of folders, none included), or when it is a file written less than the limit ago. A pattern is
// normalised as the file commands normalise their paths ("/", "." and "..", doubled backslashes), its
// wildcard parts taken as names, and where links lead its way elsewhere it also names the place they
// lead to.
class KeepFilter final : public EntryFilter {
public:
    // now in 100-nanosecond steps since 1601.
    KeepFilter(const std::vector<std::string>& keep, int olderThanHours, uint64_t now);

    // False when a pattern's token cannot be resolved: what it keeps is unknown, so nothing may go.
    bool Valid() const { return valid_; }
    // Whether it keeps anything at all.
    bool Active() const { return !patterns_.empty() || youngest_ != 0; }

    // path as the file commands name it (NormalisedPath).
    bool Keeps(const std::string& path, uint64_t lastWrite) const override;

    // The filter for the walk of one folder, which matches each path as walked and, when links lead the
    // way to the folder elsewhere, as it lies there. The folder is resolved once, here.
    class InFolder final : public EntryFilter {
    public:
        InFolder(const KeepFilter& filter, const std::string& folder);
        bool Keeps(const std::string& path, uint64_t lastWrite) const override;

    private:
        const KeepFilter& filter_;
        std::string walked_;   // the folder as the walk names it, without a final backslash
        std::string resolved_; // where it lies, when that differs; else empty
    };

private:
    using Part = PathPatternPart;
    bool Named(const std::string& path) const;

    std::vector<std::vector<Part>> patterns_; // the parts of each pattern, in each of its places
    uint64_t youngest_ = 0;                   // files written after this are kept; 0: no limit
    bool valid_ = true;
};

// Whether a keep pattern can spare anything in one of the folders an item empties, both written as the
// item's paths are (tokens, wildcards) and compared as normalised and as resolved. A token that names no
// folder here leaves that unknown, which counts as able.
bool KeepCanApply(const std::string& keep, const std::vector<std::string>& folders);

// The current time as KeepFilter takes it.
uint64_t FileTimeNow();
