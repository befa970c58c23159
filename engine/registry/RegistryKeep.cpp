#include "engine/registry/RegistryKeep.h"

#include "engine/registry/RegistryPath.h"
#include "framework/Utf8.h"

namespace {

// The root's full name in capitals, then the names between the backslashes without empty ones, which the
// registry skips; nothing when the path starts with no known root.
std::vector<std::string> Parts(const std::string& path)
{
    size_t first = path.find('\\');
    std::string root = path.substr(0, first);
    if (first == std::string::npos || !RootKeyFromName(root))
        return {};
    for (char& c : root)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    std::vector<std::string> parts{root};
    for (size_t start = first + 1; start <= path.size();) {
        size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<std::wstring> WideParts(const std::string& path)
{
    std::vector<std::wstring> wide;
    for (const std::string& part : Parts(path))
        wide.push_back(ToWide(part));
    return wide;
}

} // namespace

RegistryKeep::RegistryKeep(const std::vector<std::string>& keep)
{
    for (const std::string& path : keep) {
        std::vector<std::string> parts = Parts(path);
        if (parts.size() < 2)
            continue;
        Pattern& pattern = patterns_.emplace_back();
        for (const std::string& part : parts)
            pattern.push_back({NamePattern(part), part == "**"});
    }
}

bool RegistryKeep::IsRegistryPath(const std::string& keep)
{
    return !Parts(keep).empty();
}

bool RegistryKeep::Keeps(const std::string& keyPath) const
{
    return !patterns_.empty() && KeepsParts(WideParts(keyPath));
}

bool RegistryKeep::KeepsValue(const std::string& keyPath, const std::string& name) const
{
    if (patterns_.empty())
        return false;
    std::vector<std::wstring> parts = WideParts(keyPath);
    if (parts.empty())
        return false;
    parts.push_back(ToWide(name)); // one part, whatever backslashes the name holds
    return KeepsParts(parts);
}

bool RegistryKeep::KeepsParts(const std::vector<std::wstring>& parts) const
{
    for (const Pattern& pattern : patterns_) {
        if (!parts.empty() && PartsInside(pattern, 0, parts, 0))
            return true;
    }
    return false;
}

bool RegistryKeep::KeepsBelow(const std::string& keyPath) const
{
    if (patterns_.empty())
        return false;
    std::vector<std::wstring> parts = WideParts(keyPath);
    for (const Pattern& pattern : patterns_) {
        if (!parts.empty() && Above(pattern, 0, parts, 0))
            return true;
    }
    return false;
}

bool RegistryKeep::Above(const Pattern& pattern, size_t next, const std::vector<std::wstring>& parts,
                         size_t at)
{
    for (; at < parts.size(); ++next, ++at) {
        if (next >= pattern.size())
            return false; // the key lies inside what the pattern names, not above it
        if (pattern[next].anyDepth)
            return true; // any number of keys may follow before the kept one
        if (!pattern[next].name.Matches(parts[at]))
            return false;
    }
    return next < pattern.size();
}
