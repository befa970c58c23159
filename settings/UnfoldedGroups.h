#pragma once
#include "settings/Settings.h"

#include <set>
#include <string>

// The groups of rows on the main window's pages that the user unfolded; every other group shows folded.
// Each is named "page type\group", such as "application\Chrome". Kept as a multi-string value beside the
// settings.
inline constexpr char kUnfoldedGroupsValue[] = "Unfolded Groups";

// Empty when nothing is stored or the value cannot be read.
std::set<std::string> LoadUnfoldedGroups(const std::string& keyPath = kSettingsKeyPath);
// Failures are silent: the groups then show folded next time.
void StoreUnfoldedGroups(const std::set<std::string>& groups, const std::string& keyPath = kSettingsKeyPath);
