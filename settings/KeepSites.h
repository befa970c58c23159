#pragma once
#include "settings/Settings.h"

#include <string>
#include <vector>

// The sites whose cookies and stores an erase keeps: "Keep Sites", a REG_MULTI_SZ of host names in the
// settings key (a REG_SZ counts as a list of one).
inline constexpr char kKeepSitesValue[] = "Keep Sites";

// A list of sites to keep as it was read. A list that is there but cannot be read is no empty list: while
// problem is set, nothing that sites to keep decide about may go, and the stored list must not be replaced.
struct KeepSiteList {
    std::vector<std::string> sites;   // normalised, each once, in stored order
    std::vector<std::string> ignored; // stored entries that are no host names, as stored
    std::string problem;              // why the list cannot be read; empty when it could, or is not there
};

// The user's list as stored under keyPath (relative to HKEY_CURRENT_USER). A key or value that is missing
// is an empty list; a key that cannot be opened, or a value of another type, is a problem.
KeepSiteList ReadKeepSites(const std::string& keyPath = kSettingsKeyPath);

// The sites an erase keeps: the user's own, then those an organization's policy adds; normalised, each
// once. A problem of either list is the problem of the whole.
KeepSiteList SitesToKeep(const KeepSiteList& byPolicy, const std::string& keyPath = kSettingsKeyPath);

// Normalises names (IdnToAscii for internationalised ones), each once; names that are no host names go
// to ignored.
KeepSiteList NormalisedSites(const std::vector<std::string>& names);

// Stores the list as it stands (names normalised, each once, the others left out); true when stored.
bool WriteKeepSites(const std::vector<std::string>& sites, const std::string& keyPath = kSettingsKeyPath);

// What adding or removing one site did. Unreadable: the stored list cannot be read, and stays as it is.
enum class KeepSiteChange { Changed, Unchanged, InvalidName, NotStored, Unreadable };

// Adds a site by what the user typed ("https://www.example.com/"), normalised; Unchanged when it is kept
// already.
KeepSiteChange AddKeepSite(const std::string& typed, const std::string& keyPath = kSettingsKeyPath);
// Removes a site by what the user typed; Unchanged when it was not in the list.
KeepSiteChange RemoveKeepSite(const std::string& typed, const std::string& keyPath = kSettingsKeyPath);
