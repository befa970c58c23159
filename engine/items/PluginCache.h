#pragma once
#include "engine/items/EraseItem.h"

#include <cstdint>
#include <string>
#include <unordered_map>

// Where the plug-in cache is kept and the stamp of the program that writes it. A cache written by another
// program (another stamp) or for another Windows version is never read.
struct PluginCacheFile {
    std::string path; // empty: nothing is cached
    std::string programStamp;
};

// What tells that a plug-in file has changed: its size, last write time and change time, as its folder lists
// them. The write time can be set back (copy tools and touch -r do), the change time only by the file system
// itself, with every write.
struct PluginStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;
    uint64_t changeTime = 0;

    bool operator==(const PluginStamp&) const = default;
};

// The items read from the plug-in files of one folder the last time, by file name, so that an unchanged
// file is not parsed again. The whole file is checked before anything in it is used: one that is damaged,
// of another format, program, plug-in folder or Windows version counts as empty, and an entry counts only for a file of the same
// name, size, write time and change time. Only loaded items are kept; a file that failed is read again each time.
class PluginCache {
public:
    PluginCache(PluginCacheFile file, const std::string& pluginFolder, double windowsVersion);

    // The item last read from the file of this name and stamp (its path left to the caller).
    bool Find(const std::string& name, PluginStamp stamp, EraseItem& item);
    // Records an item read afresh, unless its file was written too recently to tell a later change.
    void Add(const std::string& name, PluginStamp stamp, const EraseItem& item);
    // Writes the cache anew when it no longer holds exactly the items found or added since it was read.
    // A cache that cannot be written is no failure: the files are read again next time.
    void Save() const;

private:
    struct Entry {
        PluginStamp stamp;
        std::string item; // the item's fields, encoded
        bool used = false;
    };

    std::string Header() const;
    bool Decode(std::string_view text);

    PluginCacheFile file_;
    std::string pluginFolder_;
    std::string windowsVersion_;
    std::unordered_map<std::string, Entry> entries_;
    size_t entriesRead_ = 0;
    bool changed_ = false;
};
