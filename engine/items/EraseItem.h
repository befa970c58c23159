#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <string>
#include <vector>

struct EraseContext;

// How far a file parameter reaches below its folder: only the folder's own entries, the subfolders whose
// names match the last part's pattern (the plain behaviour), or every subfolder.
enum class Recurse { None, Matching, All };

// The optional attributes of one parameter element.
struct ParameterOptions {
    Recurse recurse = Recurse::Matching;
    std::string command;     // lower-cased; replaces the item's command for this parameter when set
    bool removeSelf = false; // a delete-directory folder is removed too once it is empty
    std::string table;       // the table an empty-table parameter empties, as written
};

// A program that must not run while the item does: its file name, the name the user knows it by, when
// set the folder (tokens and wildcards allowed) its file must run from to count, and what keeps it running
// without a window and where to turn that off.
struct RunningProgram {
    std::string exe;
    std::string name;
    std::string folder;
    std::string background;
};

// What a plug-in file says of its item.
struct EraseItemDefinition {
    static constexpr unsigned kDefaultTimeoutSeconds = 600;

    std::string path;
    std::string descript;
    std::string type;
    std::string id;
    std::string command;                 // lower-cased on load
    std::vector<std::string> parameters; // lower-cased on load
    std::string head;
    unsigned timeoutSeconds = kDefaultTimeoutSeconds; // how long a "run" item's program may take

    // Optional elements and attributes; a file without them leaves these empty.
    std::vector<ParameterOptions> parameterOptions; // one per parameter, or none at all
    std::vector<RunningProgram> running;            // while one runs, the item is skipped
    int olderThanHours = 0;                         // files younger than this are kept; 0: no limit
    std::vector<std::string> keep;                  // lower-cased path patterns never deleted
    std::vector<std::string> detect;                // lower-cased paths; none existing hides the item
    std::string warning;
    bool isDefault = false; // ticked by "Set Default"
    std::string group;      // the program the item belongs to, under which its page lists it
};

// Where the item stands in the list: whether its file loaded, and whether it was found on this machine.
struct EraseItemListState {
    bool loaded = false;
    std::string errorText;
    bool detected = true; // set by EraseItemList from detect
};

// What the item's last run or preview did.
struct EraseItemRunResult {
    EraseTally tally;
    std::string skipped; // why the last run did nothing ("skipped: Chrome is running"), or empty
};

// One erase item, read from one plug-in file: its definition, its state in the list and its last run's
// result.
class EraseItem : public EraseItemDefinition, public EraseItemListState, public EraseItemRunResult {
public:
    // Reads the plug-in file, choosing the parameter variant for the given Windows version
    // ("%g" text of the version number). On failure sets errorText and leaves loaded false.
    bool LoadFromFile(const std::string& filePath, double windowsVersion);

    // Runs the item's command over its parameters, counting into tally. A preview counts what an erase
    // would, deleting nothing. False when a failure inside the item ended it early: the listener hears
    // why (OnItemFailure).
    bool ExecuteItem(const EraseContext& context, const EraseOptions& options = {});

    // The options and the command that apply to one parameter; the defaults and the item's command for a
    // parameter that has none of its own.
    const ParameterOptions& OptionsOf(size_t index) const;
    const std::string& CommandOf(size_t index) const;

    // Loaded and found on this machine: shown on its page and run when selected.
    bool Listed() const { return loaded && detected; }
};
