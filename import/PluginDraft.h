#pragma once
#include <string>
#include <vector>

// One parameter of a plug-in file with the attributes that say how it is
// erased.
struct DraftParameter {
    std::string text;
    std::string command;     // delete-file, delete-directory, delete-register-key or
                             // delete-register-value
    std::string recurse;     // for delete-file: "none" or "all"; empty otherwise
    bool removeSelf = false; // for delete-directory: the folder goes too
    bool operator==(const DraftParameter&) const = default;
};

// What a plug-in file written for one imported entry holds.
struct PluginDraft {
    std::string descript;
    std::string head;
    std::string warning;
    std::string group;                // the entry's section: the program it cleans for
    std::vector<std::string> detects; // any one existing lists the item
    std::vector<std::string> keeps;
    std::vector<DraftParameter> parameters;
    // Windows versions (as plug-in files write them) on which the item does
    // nothing, and those on which the parameters apply; on every other version
    // they apply when onOtherVersions (an entry for older Windows only has not).
    std::vector<std::string> versionsWithout;
    std::vector<std::string> versionsWith;
    bool onOtherVersions = true;
};

// The whole text of the plug-in file with the given id.
std::string PluginFileText(const PluginDraft& draft, const std::string& id);
