#pragma once
#include "engine/EraseContext.h"
#include "settings/Policies.h"
#include "settings/Settings.h"

#include <ctime>
#include <functional>
#include <string>

// Where a run finds its items, its selection and its record file, which settings and policies it follows, where the
// statistics are stored and what time it is. The program's own comes from ForProgram; tests point every
// path into a sandbox.
struct EraseRunSetup {
    std::string pluginFolder;
    std::string configPath;
    std::string recordPath;
    std::string settingsKey = kSettingsKeyPath; // under HKEY_CURRENT_USER
    double windowsVersion = 0;
    Settings settings;
    Policies policies = ProcessPolicies();
    std::function<std::time_t()> clock = [] { return std::time(nullptr); };

    // The files beside the executable and the settings as they are now.
    static EraseRunSetup ForProgram();

    // What the engine is told for a run of this set-up: its plug-in folder and Windows version, and this
    // system's protected folders.
    EraseContext Context() const;
};
