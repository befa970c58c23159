#include "engine/cleaners/SiteStoreFilter.h"

#include "engine/cleaners/SqliteDatabase.h"

#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// Long enough to pass a checkpoint of the browser, short enough that a running browser cannot stall a run.
const int kWebStorageBusyMs = 250;
// Stands for the site of a store that cannot be read.
const std::string kUnreadableStore;

const char* const kWholeStores[] = {"local storage", "session storage", "webstorage", "service worker"};

bool IsWholeStore(const std::string& lowerName)
{
    return std::find(std::begin(kWholeStores), std::end(kWholeStores), lowerName) != std::end(kWholeStores);
}

bool IsHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// The kept site of the first host that follows a "://" in text from position from on; from then points past
// the last "://" looked at, so a later piece goes on from there.
constexpr size_t kLongestHost = 253;

const std::string* SiteAfterSchemes(std::string_view text, size_t& from, const KeptSites& sites)
{
    for (size_t at = text.find("://", from); at != std::string_view::npos; at = text.find("://", at + 1)) {
        size_t start = at + 3;
        size_t end = start;
        while (end < text.size() && IsHostCharacter(text[end]))
            ++end;
        if (end == text.size() && end - start <= kLongestHost) {
            from = at; // the host may go on in the next piece
            return nullptr;
        }
        from = at + 1;
        if (const std::string* site = sites.SiteOf(text.substr(start, end - start)))
            return site;
    }
    from = text.size() > 2 ? text.size() - 2 : 0;
    return nullptr;
}

// Read in pieces that overlap by more than the longest host name, so no origin is split between two.
const std::string* SiteInFile(const std::wstring& path, const KeptSites& sites)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return nullptr;
    constexpr DWORD kPiece = 1 << 20;
    constexpr size_t kOverlap = 260;
    std::string buffer;
    std::vector<char> piece(kPiece);
    DWORD read = 0;
    size_t from = 0;
    while (ReadFile(file.get(), piece.data(), kPiece, &read, nullptr) && read > 0) {
        buffer.append(piece.data(), read);
        if (const std::string* site = SiteAfterSchemes(buffer, from, sites))
            return site;
        if (buffer.size() > kOverlap) {
            size_t cut = std::min(buffer.size() - kOverlap, from);
            buffer.erase(0, cut);
            from -= cut;
        }
    }
    buffer += '\0'; // the file's end ends a host too
    return SiteAfterSchemes(buffer, from, sites);
}

// Never follows a link: what lies behind one is not the store's.
const std::string* SiteInTree(const std::wstring& folder, const KeptSites& sites, int depth)
{
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                     nullptr, 0));
    if (!find)
        return nullptr;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        const std::string* site =
            (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ? depth > 0 ? SiteInTree(folder + name + L"\\", sites, depth - 1) : nullptr
                : SiteInFile(folder + name, sites);
        if (site)
            return site;
    } while (FindNextFileW(find.get(), &entry));
    return nullptr;
}

// "webappsstore.sqlite", and its log and the log's index, which go or stay with it.
const char kWebStorage[] = "webappsstore.sqlite";

bool IsWebStorageFile(const std::string& lowerName)
{
    return lowerName == kWebStorage || lowerName == std::string(kWebStorage) + "-wal" ||
           lowerName == std::string(kWebStorage) + "-shm" ||
           lowerName == std::string(kWebStorage) + "-journal";
}

std::vector<std::string> PathParts(const std::string& path)
{
    std::vector<std::string> parts;
    for (size_t start = 0; start <= path.size();) {
        size_t end = std::min(path.find('\\', start), path.size());
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

const std::string* SiteNamedInFolder(const std::string& folder, const KeptSites& sites)
{
    std::wstring root = ToExtendedPath(folder);
    if (!root.ends_with(L'\\'))
        root += L'\\';
    constexpr int kStoreDepth = 4; // Chromium nests a store's files a few levels deep at most
    return SiteInTree(root, sites, kStoreDepth);
}

const std::string* SiteInWebStorageFile(const std::string& database, const KeptSites& sites, std::string& why)
{
    SqliteDatabase db(database, kWebStorageBusyMs, SqliteAccess::ReadOnly);
    if (db && !db.HasTable("webappsstore2")) {
        why = "holds no table of local storage";
        return nullptr;
    }
    // Each origin once: the store's rows are its keys, many to an origin.
    std::vector<std::vector<std::string>> origins =
        db ? db.Rows("SELECT DISTINCT originKey FROM webappsstore2")
           : std::vector<std::vector<std::string>>{};
    if (!db || !db.ErrorText().empty()) {
        why = db.ErrorText().empty() ? "cannot be read" : db.ErrorText();
        return nullptr;
    }
    for (const std::vector<std::string>& row : origins) {
        std::string host = row[0].substr(0, row[0].find(':'));
        std::reverse(host.begin(), host.end());
        if (const std::string* site = sites.SiteOf(host))
            return site;
    }
    return nullptr;
}

SiteStoreFilter::SiteStoreFilter(const KeptSites& sites, const EntryFilter* itemFilter,
                                 EraseListener& listener)
    : sites_(sites), itemFilter_(itemFilter), listener_(listener)
{
}

bool SiteStoreFilter::Keeps(const std::string& path, uint64_t lastWrite) const
{
    if (itemFilter_ && itemFilter_->Keeps(path, lastWrite))
        return true;
    std::string folder;
    for (const std::string& part : PathParts(path)) {
        folder += (folder.empty() ? "" : "\\") + part;
        std::string lowerPart = LowerCase(part);
        if (IsWebStorageFile(lowerPart)) {
            std::string database = folder.substr(0, folder.size() - part.size()) + kWebStorage;
            if (const std::string* site = SiteInWebStorage(database)) {
                if (site != &kUnreadableStore)
                    Tell(database, *site);
                return true;
            }
        } else if (IsWholeStore(lowerPart)) {
            if (const std::string* site = SiteInStore(folder)) {
                Tell(folder, *site);
                return true;
            }
        } else if (const std::string* site = sites_.SiteOf(HostOfOriginFolder(part)); site) {
            Tell(folder, *site);
            return true;
        }
    }
    return false;
}

const std::string* SiteStoreFilter::SiteInStore(const std::string& store) const
{
    auto known = stores_.find(store);
    if (known != stores_.end())
        return known->second;
    return stores_[store] = SiteNamedInFolder(store, sites_);
}

// A store that cannot be read stays whole: whose data it holds is unknown.
const std::string* SiteStoreFilter::SiteInWebStorage(const std::string& database) const
{
    auto known = stores_.find(database);
    if (known != stores_.end())
        return known->second;
    std::string why;
    const std::string* site = SiteInWebStorageFile(database, sites_, why);
    if (!why.empty() && GetFileAttributesW(ToExtendedPath(database).c_str()) != INVALID_FILE_ATTRIBUTES) {
        listener_.OnFailure(database, "kept whole, since whose data it holds is unknown: " + why);
        site = &kUnreadableStore;
    }
    return stores_[database] = site;
}

void SiteStoreFilter::Tell(const std::string& folder, const std::string& site) const
{
    if (told_.insert(folder).second)
        listener_.OnKeptForSite(folder, site);
}
