#pragma once
#include "run/EraseRunSetup.h"
#include "cli/CommandLine.h"
#include "cli/RunReport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class EraseItem;

// The exit codes, which scripts test.
enum CliExitCode {
    kExitDone = 0,
    kExitNotDeleted = 1,      // something could not be deleted (or, in a preview, could not be now), or an
                              // item was skipped (its program runs);
                              // an import skipped an entry or refused the file
    kExitBadUsage = 2,        // bad usage or an unknown item id
    kExitNothingSelected = 3, // neither the command line nor a stored tick selects an item, or the
                              // configuration cannot be read
    kExitNotAllowed = 4       // the organization's policy does not allow the erase or the import
};

// Where the commands write: the document or text on out, messages and progress on err.
struct CliStreams {
    std::function<void(std::string_view)> out;
    std::function<void(std::string_view)> err;
};

// vestrel-cli's commands over the items, files and statistics that a run setup names.
class CliProgram {
public:
    CliProgram(EraseRunSetup setup, CliStreams streams, std::function<uint64_t()> clockMs);

    int Run(const std::vector<std::string>& arguments);

private:
    int List(const CliRequest& request);
    int PreviewOrErase(const CliRequest& request);
    int ImportRules(const CliRequest& request);
    // Asks the programs that keep the items from running to close; the run then says why any still runs.
    void ClosePrograms(const std::vector<EraseItem*>& items);
    int Keep(const CliRequest& request);
    int RemoveTask(const CliRequest& request);
    // Overwrites the free space of the drive named, telling its progress on err.
    int WipeFreeSpace(const CliRequest& request);
    // Why the scheduled task's erase does nothing now; empty when it is due.
    std::string ScheduledSkip() const;
    // Why the policies refuse the command; empty when they allow it.
    std::string Refusal(const CliRequest& request) const;
    int Stop(const CliRequest& request, int code, const std::string& message,
             const std::vector<NewItem>& newItems = {});

    EraseRunSetup setup_;
    CliStreams streams_;
    std::function<uint64_t()> clockMs_;
};

// The program's own: the files beside the executable that Vestrel.exe uses, the console's handles.
int RunCliProgram(const std::vector<std::string>& arguments);

// The text --help prints.
extern const char kCliUsage[];
