#pragma once
#include "import/PluginDraft.h"
#include "import/RulesFile.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the translation asks of the machine it runs on.
struct ImportChecks {
    // A plug-in path with its leading token expanded as the engine does; nothing when the token has no
    // folder here.
    std::function<std::optional<std::string>(const std::string& path)> expandPath;
    // Whether a plug-in's file commands must not work in the folder.
    std::function<bool(const std::string& folder)> refusesFolder;
    // Whether files that a narrow pattern (acrobat*.log) names may go from such a folder itself.
    std::function<bool(const std::string& folder)> allowsNarrowPattern;
    // Why a registry key (full root name) must not be erased by an imported entry; empty when it may.
    std::function<std::string(const std::string& key)> refusesKey;
    // Whether a keep (a plug-in path) can spare anything in one of the folders (plug-in paths) the entry
    // empties, as the engine normalises and resolves them.
    std::function<bool(const std::string& keep, const std::vector<std::string>& folders)> keepApplies;

    // The protected folders and keys of this system, and the folders the rules file's variables name,
    // whose contents are never emptied whole.
    static ImportChecks OfThisSystem();
};

// An entry as a plug-in, or why it cannot be one.
struct EntryTranslation {
    PluginDraft draft;
    std::string skipReason; // empty when the entry translates
    // The keys refused for where they reach, each with why; the plug-in erases what the other keys name.
    std::vector<std::string> leftOut;
};

EntryTranslation TranslateEntry(const RulesEntry& entry, const ImportChecks& checks);
