#pragma once
#include "settings/Settings.h"

#include <string>
#include <vector>

// The sites whose cookies and stores an erase keeps: "Keep Sites", a REG_MULTI_SZ of host names in the
// settings key.
inline constexpr char kKeepSitesValue[] = "Keep Sites";

// Every site an erase keeps, normalised, each once, in stored order. Stored names that are no host
// names are left out. keyPath is relative to HKEY_CURRENT_USER.
std::vector<std::string> ReadKeepSites(const std::string& keyPath = kSettingsKeyPath);

// The sites an erase keeps: the user's own, then those an organization's policy adds; normalised, each once.
std::vector<std::string> SitesToKeep(const std::vector<std::string>& byPolicy,
                                     const std::string& keyPath = kSettingsKeyPath);

// Stores the list as it stands (names normalised, each once, the others left out); true when stored.
bool WriteKeepSites(const std::vector<std::string>& sites, const std::string& keyPath = kSettingsKeyPath);

// What adding or removing one site did.
enum class KeepSiteChange { Changed, Unchanged, InvalidName, NotStored };

// Adds a site by what the user typed ("https://www.example.com/"), normalised; Unchanged when it is kept
// already.
KeepSiteChange AddKeepSite(const std::string& typed, const std::string& keyPath = kSettingsKeyPath);
// Removes a site by what the user typed; Unchanged when it was not in the list.
KeepSiteChange RemoveKeepSite(const std::string& typed, const std::string& keyPath = kSettingsKeyPath);
