#include "settings/KeepSites.h"

#include "engine/cleaners/KeptSites.h"
#include "framework/ErrorText.h"
#include "framework/RegKey.h"
#include "framework/Utf8.h"

#include <algorithm>

namespace {

std::string TypeName(DWORD type)
{
    switch (type) {
    case REG_DWORD:
        return "REG_DWORD";
    case REG_QWORD:
        return "REG_QWORD";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_NONE:
        return "REG_NONE";
    default:
        return "a value of type " + std::to_string(type);
    }
}

std::string WhyUnreadable(const std::string& where, LONG status)
{
    return "the sites to keep cannot be read: " + where + ": " + ErrorText(HRESULT_FROM_WIN32(status));
}

// Entries that are no host names stay as they were: the list is the user's, not Vestrel's to tidy.
KeepSiteChange Store(const KeepSiteList& list, const std::string& keyPath)
{
    std::vector<std::string> entries = list.sites;
    entries.insert(entries.end(), list.ignored.begin(), list.ignored.end());
    RegKey key;
    bool stored = key.Create(HKEY_CURRENT_USER, keyPath, KEY_SET_VALUE) == ERROR_SUCCESS &&
                  key.SetStrings(entries, kKeepSitesValue) == ERROR_SUCCESS;
    return stored ? KeepSiteChange::Changed : KeepSiteChange::NotStored;
}

} // namespace

KeepSiteList NormalisedSites(const std::vector<std::string>& names)
{
    KeepSiteList list;
    for (const std::string& name : names) {
        std::optional<std::string> site = NormalisedSiteHost(name);
        if (!site)
            list.ignored.push_back(name);
        else if (std::find(list.sites.begin(), list.sites.end(), *site) == list.sites.end())
            list.sites.push_back(*site);
    }
    return list;
}

KeepSiteList ReadKeepSites(const std::string& keyPath)
{
    std::string where = "HKEY_CURRENT_USER\\" + keyPath;
    RegKey key;
    LONG status = key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ);
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    KeepSiteList failed;
    if (status != ERROR_SUCCESS) {
        failed.problem = WhyUnreadable(where, status);
        return failed;
    }
    where += std::string("\\") + kKeepSitesValue;
    DWORD type = REG_NONE;
    status = RegQueryValueExW(key.get(), ToWide(kKeepSitesValue).c_str(), nullptr, &type, nullptr, nullptr);
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    if (status == ERROR_SUCCESS && type != REG_MULTI_SZ && type != REG_SZ) {
        failed.problem = "the sites to keep cannot be read: " + where + " is " + TypeName(type) +
                         ", not a list of host names (REG_MULTI_SZ)";
        return failed;
    }
    std::vector<std::string> stored;
    if (status == ERROR_SUCCESS)
        status = key.QueryStrings(stored, kKeepSitesValue);
    if (status != ERROR_SUCCESS) {
        failed.problem = WhyUnreadable(where, status);
        return failed;
    }
    return NormalisedSites(stored);
}

KeepSiteList SitesToKeep(const KeepSiteList& byPolicy, const std::string& keyPath)
{
    KeepSiteList own = ReadKeepSites(keyPath);
    std::vector<std::string> names = own.sites;
    names.insert(names.end(), byPolicy.sites.begin(), byPolicy.sites.end());
    KeepSiteList all = NormalisedSites(names);
    all.ignored = own.ignored;
    all.problem = !own.problem.empty() ? own.problem : byPolicy.problem;
    return all;
}

bool WriteKeepSites(const std::vector<std::string>& sites, const std::string& keyPath)
{
    RegKey key;
    return key.Create(HKEY_CURRENT_USER, keyPath, KEY_SET_VALUE) == ERROR_SUCCESS &&
           key.SetStrings(NormalisedSites(sites).sites, kKeepSitesValue) == ERROR_SUCCESS;
}

KeepSiteChange AddKeepSite(const std::string& typed, const std::string& keyPath)
{
    std::optional<std::string> site = NormalisedSiteHost(typed);
    if (!site)
        return KeepSiteChange::InvalidName;
    KeepSiteList stored = ReadKeepSites(keyPath);
    if (!stored.problem.empty())
        return KeepSiteChange::Unreadable;
    if (std::find(stored.sites.begin(), stored.sites.end(), *site) != stored.sites.end())
        return KeepSiteChange::Unchanged;
    stored.sites.push_back(*site);
    return Store(stored, keyPath);
}

KeepSiteChange RemoveKeepSite(const std::string& typed, const std::string& keyPath)
{
    std::optional<std::string> site = NormalisedSiteHost(typed);
    if (!site)
        return KeepSiteChange::InvalidName;
    KeepSiteList stored = ReadKeepSites(keyPath);
    if (!stored.problem.empty())
        return KeepSiteChange::Unreadable;
    if (std::erase(stored.sites, *site) == 0)
        return KeepSiteChange::Unchanged;
    return Store(stored, keyPath);
}
