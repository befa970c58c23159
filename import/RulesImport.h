#pragma once
#include "import/ImportedIds.h"
#include "import/RulesTranslation.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// What to import and where the plug-ins and the selection live.
struct RulesImportRequest {
    std::string rulesPath;
    std::string pluginFolder; // ends in a backslash
    std::string configPath;
    double windowsVersion = 0;
    bool replace = false; // earlier imported plug-ins go first
    // For tests: asked after each change on disk; true stops the import there
    // as a crash would, leaving everything as it is at that instant.
    std::function<bool()> stopHere;
};

// What an import did. When error is set, nothing changed.
struct RulesImportResult {
    std::string error;
    std::vector<std::string> imported;                        // new items, stored as not selected
    std::vector<std::string> updated;                         // items that were there before, selection kept
    std::vector<std::string> removed;                         // earlier imported items that --replace removed
    std::vector<std::pair<std::string, std::string>> skipped; // entry name, why
    std::vector<std::pair<std::string, std::string>> leftOut; // entry name, a key refused and why

    bool Complete() const { return error.empty() && skipped.empty() && leftOut.empty(); }
};

// Writes one plug-in file per usable entry of the rules file into the plug-in
// folder and stores the new items as not selected, before any of them can be
// seen there. All of it happens or, on a failure, none of it; an import
// interrupted by a crash is finished or rolled back by the next one.
RulesImportResult ImportRules(const RulesImportRequest& request, const ImportChecks& checks);

// Finishes or rolls back what an interrupted import left in the plug-in folder,
// so that no imported plug-in appears without its stored "false". Called at
// every start; an empty text when nothing is left over, else why it is.
std::string FinishInterruptedImport(const std::string& pluginFolder);

// The summary shown to the user: the counts, then the skipped entries and
// the keys left out with their reasons, at most maxSkipped of each.
std::string ImportSummaryText(const RulesImportResult& result, size_t maxSkipped = SIZE_MAX);
