#pragma once
#include "engine/cleaners/KeptSites.h"
#include "engine/EraseMode.h"

#include <map>
#include <set>
#include <string>

// Keeps, in any walk, what belongs to a kept site: a folder of one origin's store named after a host of
// the site (see HostOfOriginFolder) with everything in it, and a store that holds every site's data in
// files Vestrel cannot edit ("Local Storage", "Session Storage", "WebStorage", "Service Worker") whole
// while a kept site's origin ("https://www.example.com") appears in its bytes. Each is told to the
// listener once, as it is first reached. What the item's own filter keeps is kept as well.
class SiteStoreFilter final : public EntryFilter {
public:
    SiteStoreFilter(const KeptSites& sites, const EntryFilter* itemFilter, EraseListener& listener);

    bool Keeps(const std::string& path, uint64_t lastWrite) const override;

private:
    // The kept site whose data the store folder holds, or null; looked at once per folder.
    const std::string* SiteInStore(const std::string& store) const;
    void Tell(const std::string& folder, const std::string& site) const;

    const KeptSites& sites_;
    const EntryFilter* itemFilter_;
    EraseListener& listener_;
    mutable std::map<std::string, const std::string*> stores_;
    mutable std::set<std::string> told_;
};

// Whether the bytes of the files in folder and its subfolders name an origin of site
// ("://example.com" or "://www.example.com", not "://badexample.com").
bool FolderNamesSite(const std::string& folder, const std::string& site);
