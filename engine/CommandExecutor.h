#pragma once
#include "engine/BuiltInCleaners.h"
#include "engine/EraseItem.h"
#include "engine/EraseMode.h"
#include "engine/ProtectedFolders.h"

#include <span>
#include <string>

enum class WaitMode {
    InputIdle, // until the program waits for input
    Exit,      // until the program has ended
    None,
};

// Starts a program from commandLine as it stands, in workingFolder, with no standard handles, and waits as
// asked; false when it cannot be started or the wait fails.
bool RunProgram(const std::string& commandLine, WaitMode wait, const std::string& workingFolder);

// Replaces a leading %appdata% or %userhome% (in any case) by the user's application data or profile
// folder; any other text, and a token the shell cannot resolve, is returned unchanged.
std::string ExpandParameter(const std::string& parameter);

// Runs the commands of erase items. EraseItem::ExecuteItem uses one set up for the running program.
class CommandExecutor {
public:
    // Programs from the plug-in folder, the built-in cleaners, this system's protected folders.
    explicit CommandExecutor(EraseOptions options = {});
    // programFolder holds the programs of "run" items and is their working folder; it ends in a backslash.
    CommandExecutor(std::string programFolder, std::span<const BuiltInCleaner> cleaners,
                    ProtectedFolders protectedFolders, EraseOptions options = {});

    // Resets the item's tally, then applies its command to each of its parameters in order. A preview
    // runs no program: what a program erases is known only from its record file after it has run.
    void Execute(EraseItem& item) const;

private:
    void DeleteFiles(EraseItem& item, bool wholeFolders) const;
    void DeleteRegistryEntries(EraseItem& item, bool values) const;
    void RunPrograms(EraseItem& item) const;
    void RunCleaners(EraseItem& item) const;
    void ClearPlacesHistories(EraseItem& item) const;

    std::string programFolder_;
    std::span<const BuiltInCleaner> cleaners_;
    ProtectedFolders protectedFolders_;
    EraseOptions options_;
};
