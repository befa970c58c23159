#pragma once
#include "engine/EraseContext.h"
#include "engine/items/PluginCache.h"
#include "settings/Policies.h"
#include "settings/Settings.h"

#include <ctime>
#include <functional>
#include <map>
#include <string>

// Where a run finds its items, its selection and its record file, which settings and policies it follows, where the
// statistics are stored and what time it is. The program's own comes from ForProgram; tests point every
// path into a sandbox.
struct EraseRunSetup {
    std::string pluginFolder;
    PluginCacheFile pluginCache; // none: every plug-in file is parsed
    std::string configPath;
    std::string recordPath;
    std::string settingsKey = kSettingsKeyPath; // under HKEY_CURRENT_USER
    double windowsVersion = 0;
    Settings settings;
    Policies policies = ProcessPolicies();
    std::function<std::time_t()> clock = [] { return std::time(nullptr); };
    // Why the programs a run asked to close still run, by name (CloseRunningPrograms).
    std::map<std::string, std::string> stillRunning;

    // The files beside the executable and the settings as they are now.
    static EraseRunSetup ForProgram();

    // What the engine is told for a run of this set-up: its plug-in folder and Windows version, this
    // system's protected folders and the sites kept as the settings key and the policies store them now
    // (or why they cannot be read).
    EraseContext Context() const;
};
