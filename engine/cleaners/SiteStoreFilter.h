#pragma once
#include "engine/cleaners/KeptSites.h"
#include "engine/EraseMode.h"

#include <map>
#include <set>
#include <string>

// Keeps, in any walk, what belongs to a kept site: a folder of one origin's store named after a host of
// the site (see HostOfOriginFolder) with everything in it; a store that holds every site's data in files
// Vestrel cannot edit ("Local Storage", "Session Storage", "WebStorage", "Service Worker") whole while a
// kept site's origin ("https://www.example.com") appears in its bytes; and Firefox's old local storage
// (webappsstore.sqlite, with its log) whole while it holds a row of a kept site or cannot be read. Each is
// told to the listener once, as it is first reached. What the item's own filter keeps is kept as well.
class SiteStoreFilter final : public EntryFilter {
public:
    SiteStoreFilter(const KeptSites& sites, const EntryFilter* itemFilter, EraseListener& listener);

    bool Keeps(const std::string& path, uint64_t lastWrite) const override;

private:
    // The kept site whose data the store holds, or null; looked at once per store.
    const std::string* SiteInStore(const std::string& store) const;
    const std::string* SiteInWebStorage(const std::string& database) const;
    void Tell(const std::string& folder, const std::string& site) const;

    const KeptSites& sites_;
    const EntryFilter* itemFilter_;
    EraseListener& listener_;
    mutable std::map<std::string, const std::string*> stores_;
    mutable std::set<std::string> told_;
};

// The kept site whose origin ("://example.com", "://www.example.com", not "://badexample.com") the bytes
// of the files in folder and its subfolders name first, or null; the files are read once, whatever the
// number of sites.
const std::string* SiteNamedInFolder(const std::string& folder, const KeptSites& sites);

// The kept site that one of the rows of a Firefox-family webappsstore.sqlite belongs to (its originKey,
// "moc.elpmaxe.www.:https:443", names the host backwards), or null. The file is opened read-only, its log
// read into memory; one that cannot be read is nobody's: the text says why.
const std::string* SiteInWebStorageFile(const std::string& database, const KeptSites& sites,
                                        std::string& why);
