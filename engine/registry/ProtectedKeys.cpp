#include "engine/registry/ProtectedKeys.h"

#include "engine/registry/RegistryPath.h"
#include "framework/LowerCase.h"

#include <span>
#include <vector>

namespace {

using Parts = std::vector<std::string>;

enum class Hive { User, Machine, Classes, Other };

// The kept keys below a user's or the machine's hive; "*" stands for any one name.
const Parts kSoftwareKeys[] = {
    {"software", "microsoft"},
    {"software", "microsoft", "windows"},
    {"software", "microsoft", "windows", "currentversion"},
    {"software", "microsoft", "windows nt"},
    {"software", "microsoft", "windows nt", "currentversion"},
    {"software", "policies"},
    {"software", "vestrel"},
};
const Parts kMachineKeys[] = {
    {"system", "*"},
};

// The lower-cased names between the backslashes, without empty ones, which the registry skips.
Parts Split(const std::string& path)
{
    Parts parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(LowerCase(std::string_view(path).substr(start, end - start)));
        start = end + 1;
    }
    return parts;
}

bool StartsWith(const Parts& parts, std::initializer_list<const char*> names)
{
    if (parts.size() < names.size())
        return false;
    size_t i = 0;
    for (const char* name : names) {
        if (parts[i++] != name)
            return false;
    }
    return true;
}

// The hive a path reaches and its names below the hive, the same for every spelling of one key.
Hive Canonical(HKEY root, Parts& parts)
{
    std::erase(parts, "wow6432node");
    Hive hive = Hive::Other;
    if (root == HKEY_CLASSES_ROOT) {
        hive = Hive::Classes;
    } else if (root == HKEY_CURRENT_USER) {
        hive = Hive::User;
    } else if (root == HKEY_LOCAL_MACHINE) {
        hive = Hive::Machine;
    } else if (root == HKEY_USERS && !parts.empty()) {
        // A user's own hive, or the classes hive that the user's Software\Classes shows.
        hive = parts.front().ends_with("_classes") ? Hive::Classes : Hive::User;
        parts.erase(parts.begin());
    }
    if ((hive == Hive::User || hive == Hive::Machine) && StartsWith(parts, {"software", "classes"})) {
        hive = Hive::Classes;
        parts.erase(parts.begin(), parts.begin() + 2);
    }
    return hive;
}

// Whether the key is the pattern's key or one above it.
bool AtOrAbove(const Parts& key, const Parts& pattern)
{
    if (key.size() > pattern.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i) {
        if (pattern[i] != "*" && pattern[i] != key[i])
            return false;
    }
    return true;
}

bool AtOrAboveAny(const Parts& key, std::span<const Parts> patterns)
{
    for (const Parts& pattern : patterns) {
        if (AtOrAbove(key, pattern))
            return true;
    }
    return false;
}

} // namespace

bool IsProtectedKey(const std::string& registryPath)
{
    size_t first = registryPath.find('\\');
    HKEY root = RootKeyFromName(std::string_view(registryPath).substr(0, first));
    if (!root)
        return false; // names nothing the registry commands could reach
    Parts parts = first == std::string::npos ? Parts() : Split(registryPath.substr(first + 1));
    Hive hive = Canonical(root, parts);
    if (parts.size() <= 1)
        return true;
    if (hive == Hive::Machine && AtOrAboveAny(parts, kMachineKeys))
        return true;
    return (hive == Hive::User || hive == Hive::Machine) && AtOrAboveAny(parts, kSoftwareKeys);
}
