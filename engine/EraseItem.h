#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <string>
#include <vector>

// One erase item, read from one plug-in file.
class EraseItem {
public:
    static constexpr unsigned kDefaultTimeoutSeconds = 600;

    // Reads the plug-in file, choosing the parameter variant for the given Windows version
    // ("%g" text of the version number). On failure sets errorText and leaves loaded false.
    bool LoadFromFile(const std::string& filePath, double windowsVersion);

    // Runs the item's command over its parameters, counting into tally; always true. A preview counts
    // what an erase would, deleting nothing.
    bool ExecuteItem(const EraseOptions& options = {});

    std::string path;
    std::string descript;
    std::string type;
    std::string id;
    std::string command;                 // lower-cased on load
    std::vector<std::string> parameters; // lower-cased on load
    std::string head;
    unsigned timeoutSeconds = kDefaultTimeoutSeconds; // how long a "run" item's program may take
    bool loaded = false;
    std::string errorText;
    EraseTally tally;
};
