#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// A registry path split as plug-in files write it: "root\parent\...\name".
struct RegistryPath {
    HKEY root = nullptr; // null when the root name is unknown
    std::string parent;  // between the first and the last "\"; empty directly under the root
    std::string name;    // after the last "\": a key or a value name
    bool valid = false;  // false when the path has no "\" at all
};
RegistryPath ParseRegistryPath(const std::string& path);

// The one registry view every path names, in the 32- and the 64-bit program alike: the native one, where
// the 32-bit programs' keys are under their Wow6432Node keys. 32-bit Windows ignores the flag.
constexpr REGSAM kRegistryView = KEY_WOW64_64KEY;

// The predefined key for one of the five full root names, in any case; null for any other text.
HKEY RootKeyFromName(std::string_view name);
