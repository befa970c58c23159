#pragma once
#include "engine/files/NamePattern.h"

#include <string>
#include <vector>

// The registry paths among an item's keep patterns: those that start with a registry root's full name. Each
// names a key, kept with everything below it, or a value of that name. They are matched as file keeps are:
// part by part by the name rules ("*" and "?", a "**" part for any number of keys, none included), without
// regard to case; the root's spelling and empty parts (doubled backslashes) make no difference.
class RegistryKeep {
public:
    explicit RegistryKeep(const std::vector<std::string>& keep);

    // Whether the text is a registry path and so no file keep.
    static bool IsRegistryPath(const std::string& keep);

    bool Empty() const { return patterns_.empty(); }
    // Whether the key is kept or lies inside a kept key.
    bool Keeps(const std::string& keyPath) const;
    // Whether the key's value of that name is kept, by its own path or by its key's.
    bool KeepsValue(const std::string& keyPath, const std::string& name) const;
    // Whether something kept may lie below the key at path, which must then stay itself.
    bool KeepsBelow(const std::string& keyPath) const;

private:
    using Part = PathPatternPart;
    using Pattern = PathPattern;

    bool KeepsParts(const std::vector<std::wstring>& parts) const;
    // Whether the path's parts from at on lead towards what the pattern's parts from next on name.
    static bool Above(const Pattern& pattern, size_t next, const std::vector<std::wstring>& parts, size_t at);

    std::vector<Pattern> patterns_; // each starts with the root's full name
};
