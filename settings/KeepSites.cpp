#include "settings/KeepSites.h"

#include "engine/cleaners/KeptSites.h"
#include "framework/RegKey.h"

#include <algorithm>

namespace {

std::vector<std::string> Normalised(const std::vector<std::string>& names)
{
    std::vector<std::string> sites;
    for (const std::string& name : names) {
        std::optional<std::string> site = NormalisedSiteHost(name);
        if (site && std::find(sites.begin(), sites.end(), *site) == sites.end())
            sites.push_back(*site);
    }
    return sites;
}

} // namespace

std::vector<std::string> ReadKeepSites(const std::string& keyPath)
{
    RegKey key;
    std::vector<std::string> stored;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) == ERROR_SUCCESS)
        key.QueryStrings(stored, kKeepSitesValue);
    return Normalised(stored);
}

std::vector<std::string> SitesToKeep(const std::vector<std::string>& byPolicy, const std::string& keyPath)
{
    std::vector<std::string> sites = ReadKeepSites(keyPath);
    sites.insert(sites.end(), byPolicy.begin(), byPolicy.end());
    return Normalised(sites);
}

bool WriteKeepSites(const std::vector<std::string>& sites, const std::string& keyPath)
{
    RegKey key;
    return key.Create(HKEY_CURRENT_USER, keyPath, KEY_SET_VALUE) == ERROR_SUCCESS &&
           key.SetStrings(Normalised(sites), kKeepSitesValue) == ERROR_SUCCESS;
}

KeepSiteChange AddKeepSite(const std::string& typed, const std::string& keyPath)
{
    std::optional<std::string> site = NormalisedSiteHost(typed);
    if (!site)
        return KeepSiteChange::InvalidName;
    std::vector<std::string> sites = ReadKeepSites(keyPath);
    if (std::find(sites.begin(), sites.end(), *site) != sites.end())
        return KeepSiteChange::Unchanged;
    sites.push_back(*site);
    return WriteKeepSites(sites, keyPath) ? KeepSiteChange::Changed : KeepSiteChange::NotStored;
}

KeepSiteChange RemoveKeepSite(const std::string& typed, const std::string& keyPath)
{
    std::optional<std::string> site = NormalisedSiteHost(typed);
    if (!site)
        return KeepSiteChange::InvalidName;
    std::vector<std::string> sites = ReadKeepSites(keyPath);
    if (std::erase(sites, *site) == 0)
        return KeepSiteChange::Unchanged;
    return WriteKeepSites(sites, keyPath) ? KeepSiteChange::Changed : KeepSiteChange::NotStored;
}
