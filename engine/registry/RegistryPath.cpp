#include "engine/registry/RegistryPath.h"

#include <algorithm>

RegistryPath ParseRegistryPath(const std::string& path)
{
    RegistryPath parsed;
    size_t first = path.find('\\');
    if (first == std::string::npos)
        return parsed;
    size_t last = path.rfind('\\');
    parsed.root = RootKeyFromName(std::string_view(path).substr(0, first));
    parsed.parent = last > first ? path.substr(first + 1, last - first - 1) : std::string();
    parsed.name = path.substr(last + 1);
    parsed.valid = true;
    return parsed;
}

HKEY RootKeyFromName(std::string_view name)
{
    static const struct {
        const char* name;
        HKEY key;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
    };
    // Asked of every detect path, file paths too: compared in place rather than upper-cased in a copy.
    for (const auto& root : kRoots) {
        std::string_view rootName = root.name;
        if (name.size() == rootName.size() &&
            std::equal(name.begin(), name.end(), rootName.begin(), [](char c, char r) {
                return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == r;
            }))
            return root.key;
    }
    return nullptr;
}
