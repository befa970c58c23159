#include "engine/cleaners/SiteStoreFilter.h"

#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

const char* const kWholeStores[] = {"local storage", "session storage", "webstorage", "service worker"};

bool IsWholeStore(const std::string& lowerName)
{
    return std::find(std::begin(kWholeStores), std::end(kWholeStores), lowerName) != std::end(kWholeStores);
}

bool IsHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Whether text holds "://" followed by the site or one of its subdomains, the host ending there.
bool NamesOrigin(std::string_view text, const std::string& site)
{
    for (size_t at = text.find(site); at != std::string_view::npos; at = text.find(site, at + 1)) {
        size_t end = at + site.size();
        if (end < text.size() && IsHostCharacter(text[end]))
            continue;
        size_t start = at;
        if (start > 0 && text[start - 1] == '.') {
            while (start > 0 && IsHostCharacter(text[start - 1]))
                --start;
        }
        if (start >= 3 && text.substr(start - 3, 3) == "://")
            return true;
    }
    return false;
}

// Read in pieces that overlap by the longest text looked for, so no origin is split between two.
bool FileNamesSite(const std::wstring& path, const std::string& site)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    constexpr DWORD kPiece = 1 << 20;
    const size_t overlap = 256 + site.size();
    std::string buffer;
    std::vector<char> piece(kPiece);
    DWORD read = 0;
    while (ReadFile(file.get(), piece.data(), kPiece, &read, nullptr) && read > 0) {
        buffer.append(piece.data(), read);
        if (NamesOrigin(buffer, site))
            return true;
        if (buffer.size() > overlap)
            buffer.erase(0, buffer.size() - overlap);
    }
    return false;
}

// Never follows a link: what lies behind one is not the store's.
bool TreeNamesSite(const std::wstring& folder, const std::string& site, int depth)
{
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                     nullptr, 0));
    if (!find)
        return false;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        bool found = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                         ? depth > 0 && TreeNamesSite(folder + name + L"\\", site, depth - 1)
                         : FileNamesSite(folder + name, site);
        if (found)
            return true;
    } while (FindNextFileW(find.get(), &entry));
    return false;
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

bool FolderNamesSite(const std::string& folder, const std::string& site)
{
    std::wstring root = ToExtendedPath(folder);
    if (!root.ends_with(L'\\'))
        root += L'\\';
    constexpr int kStoreDepth = 4; // Chromium nests a store's files a few levels deep at most
    return TreeNamesSite(root, site, kStoreDepth);
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
        if (IsWholeStore(LowerCase(part))) {
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
    const std::string* found = nullptr;
    for (const std::string& site : sites_.Hosts()) {
        if (FolderNamesSite(store, site)) {
            found = &site;
            break;
        }
    }
    return stores_[store] = found;
}

void SiteStoreFilter::Tell(const std::string& folder, const std::string& site) const
{
    if (told_.insert(folder).second)
        listener_.OnKeptForSite(folder, site);
}
