#pragma once
#include "settings/AutoStartOperations.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <vector>

// What the options dialog shows and hands back on OK. A field added later starts from the running value,
// so a caller that does not know it stores it unchanged.
struct OptionsValues {
    bool autoLaunch = false;
    bool expressEraseMode = false;
    bool playSound = false;
    bool secureDeletion = false;
    bool secureDeletionManaged = false; // the organization decides it; shown, not changed
    // Whether the Windows drive is a solid-state drive; nothing when it does not say.
    std::optional<bool> solidStateDrive;
    std::vector<std::string> keepSites;   // host names, as stored
    std::string keepSitesProblem;         // why the user's or the policy's list cannot be read, or empty
    std::vector<std::string> cookieSites; // offered to pick from; never stored
};

// The running values: the process-wide settings, whether the auto-start entry is there and the sites
// to keep as stored under keyPath (relative to HKEY_CURRENT_USER).
OptionsValues CurrentOptions(const AutoStartOperations& autoStart,
                             const std::string& keyPath = kSettingsKeyPath);

// Stores the values OK'd and applies them at once, as the schedule's are. A setting is written only when
// it differs from the running copy, so OK without changes writes nothing; the copy changes even when the
// registry refuses the write; the sites to keep are written only when they differ from what is stored,
// and never over a stored list that cannot be read.
// The auto-start entry is rewritten every time, so an entry left by a copy elsewhere points at this one
// afterwards. keyPath is relative to HKEY_CURRENT_USER.
void StoreOptions(const OptionsValues& values, const AutoStartOperations& autoStart,
                  const std::string& keyPath = kSettingsKeyPath);
