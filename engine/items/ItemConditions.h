#pragma once
#include "engine/items/EraseItem.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

// The item's programs that run in this session now: the name of the first one found, and every process of
// each of them. A process whose session, or whose file where the program names its folder, cannot be told
// counts as running here.
struct RunningPrograms {
    std::string name; // empty when none runs
    std::vector<DWORD> processIds;
};
RunningPrograms FindRunningPrograms(const EraseItem& item);

// The name of the first of the item's programs that runs in this session now; empty when none does.
std::string RunningProgramName(const EraseItem& item);

// Whether any of the item's detect paths exists: a registry key or value, or a file or folder (tokens
// expanded, folder wildcards allowed). An item without detect paths is always found.
bool IsDetected(const EraseItem& item);

// IsDetected for the many items of one listing: a folder or registry key that the detect paths of several
// items look into is read whole the second time it is asked about, and each later path in it is looked up
// in what was read, rather than asked of the system once per path (thousands of imported items look into
// the same few, such as HKEY_CURRENT_USER\Software and %localappdata%).
class Detector {
public:
    bool IsDetected(const EraseItem& item);

private:
    // The names in one folder or key, lower-cased; unknown until it is asked about twice.
    struct Listing {
        int asks = 0;
        bool listed = false;
        std::set<std::string> names;
    };

    using Listings = std::map<std::string, Listing>; // by place

    bool RegistryEntryExists(const std::string& path);
    bool FileEntryExists(const std::string& path);
    bool PlaceExists(const std::string& place);
    // A folder that detect paths look into, asked of the system once: thousands name the same few.
    bool FolderExists(const std::string& folder);
    // The listing when the place has been read (or has just been, on its second ask); null to ask directly.
    static const Listing* Listed(Listings& listings, const std::string& place,
                                 bool (*read)(const std::string&, std::set<std::string>&));

    Listings keys_;
    Listings folders_;
    std::unordered_set<std::string> existingFolders_;
};
