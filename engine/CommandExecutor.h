#pragma once
#include "engine/cleaners/BuiltInCleaners.h"
#include "engine/EraseContext.h"
#include "engine/EraseMode.h"
#include "engine/files/KeepFilter.h"
#include "engine/items/EraseItem.h"

#include <span>
#include <string>
#include <vector>

enum class WaitMode {
    InputIdle, // until the program waits for input
    Exit,      // until the program has ended
    None,
};

// Starts a program from commandLine as it stands, in workingFolder, with no console, no standard handles
// and no inherited ones, and waits as asked; false when it cannot be started or the wait fails.
bool RunProgram(const std::string& commandLine, WaitMode wait, const std::string& workingFolder);

// How a program started to be waited for ended.
struct ProgramOutcome {
    enum { Ended, NotStarted, DidNotFinish } outcome = Ended;
    unsigned long error = 0; // the system's error code when it could not be started
};
// Starts a program as RunProgram does and waits for it to end, at most timeoutMs: one that has not
// ended by then is left running, as ending it half-way could leave its work broken.
ProgramOutcome RunProgramWithin(const std::string& commandLine, const std::string& workingFolder,
                                unsigned long timeoutMs);

// Replaces a leading path token (in any case) by its folder; any other text, and a token that cannot be
// resolved, is returned unchanged.
std::string ExpandParameter(const std::string& parameter);

// Runs the commands of erase items in the context of one run: its plug-in folder, the protected folders,
// the Windows version. The cleaners and the options see that context too.
class CommandExecutor {
public:
    CommandExecutor(EraseContext context, std::span<const BuiltInCleaner> cleaners,
                    EraseOptions options = {});
    // The options point at the executor's own context.
    CommandExecutor(const CommandExecutor&) = delete;
    CommandExecutor& operator=(const CommandExecutor&) = delete;

    // Resets the item's tally, then applies its command (or a parameter's own) to each of its parameters
    // in order, sparing what the item keeps and what belongs to the sites the context keeps. While one of
    // the item's programs runs, it does nothing and the listener hears why. A preview runs no program: what a program erases is known only from its
    // record file after it has run.
    void Execute(EraseItem& item) const;

private:
    // "Chrome is running", or why it still runs after it was asked to close.
    std::string WhyRunning(const std::string& program) const;
    bool ReachesSiteData(const EraseItem& item) const;
    void DeleteFiles(EraseItem& item, size_t index, const KeepFilter& filter) const;
    void DeleteByPattern(const std::string& parameter, bool wholeFolder, const ParameterOptions& how,
                         EraseTally& tally, const KeepFilter& filter) const;
    void ClearCookieDatabases(EraseItem& item, size_t index, const KeepFilter& filter) const;
    struct ProgramCheck;
    ProgramCheck CheckProgram(const std::string& parameter) const;
    void RunProgramOf(EraseItem& item, const std::string& parameter) const;
    void RunOneProgram(EraseItem& item, const std::string& program) const;
    std::vector<std::string> DatabasesOf(EraseItem& item, size_t index) const;

    EraseContext context_;
    std::span<const BuiltInCleaner> cleaners_;
    EraseOptions options_;
};
