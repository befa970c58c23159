#include "settings/UnfoldedGroups.h"

#include "framework/RegKey.h"

#include <vector>

std::set<std::string> LoadUnfoldedGroups(const std::string& keyPath)
{
    RegKey key;
    std::vector<std::string> groups;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS ||
        key.QueryStrings(groups, kUnfoldedGroupsValue) != ERROR_SUCCESS)
        return {};
    return {groups.begin(), groups.end()};
}

void StoreUnfoldedGroups(const std::set<std::string>& groups, const std::string& keyPath)
{
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, keyPath, KEY_SET_VALUE) == ERROR_SUCCESS)
        key.SetStrings({groups.begin(), groups.end()}, kUnfoldedGroupsValue);
}
