#include "engine/items/EraseItemList.h"

#include "engine/files/PathTokens.h"
#include "engine/items/ItemConditions.h"
#include "engine/items/PluginCache.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

namespace {

bool HasPluginExtension(const std::wstring& name)
{
    // A pattern with a three-letter extension also matches longer ones through their short names.
    const std::wstring_view extension = L".aep";
    return name.size() > extension.size() &&
           CompareStringOrdinal(name.c_str() + name.size() - extension.size(),
                                static_cast<int>(extension.size()), extension.data(),
                                static_cast<int>(extension.size()), TRUE) == CSTR_EQUAL;
}

// The system's order ignoring case, which for plain ASCII names is that of their upper case: sorting
// thousands of files, a call per comparison cost milliseconds.
bool NameBefore(const std::wstring& left, const std::wstring& right)
{
    auto ascii = [](const std::wstring& name) {
        return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x80; });
    };
    if (ascii(left) && ascii(right)) {
        auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
        return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                            [&](wchar_t a, wchar_t b) { return upper(a) < upper(b); });
    }
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_LESS_THAN;
}

struct PluginFile {
    std::wstring name;
    PluginStamp stamp;
};

uint64_t Ticks(const LARGE_INTEGER& time)
{
    return static_cast<uint64_t>(time.QuadPart);
}

// The plug-in files directly in the folder, in name order, so the lists have the same order on every
// file system. Read from the folder's own listing, which gives each file's change time with no file opened.
std::vector<PluginFile> FindPluginFiles(const std::string& folder)
{
    std::vector<PluginFile> files;
    UniqueHandle listing(CreateFileW(ToExtendedPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::vector<LONGLONG> buffer(8 * 1024); // 64 KiB, aligned as the entries must be
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    FILE_INFO_BY_HANDLE_CLASS part = FileFullDirectoryRestartInfo;
    while (listing && GetFileInformationByHandleEx(listing.get(), part, buffer.data(),
                                                   static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
        part = FileFullDirectoryInfo;
        for (size_t offset = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes + offset);
            std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (!(entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && HasPluginExtension(name))
                files.push_back({name,
                                 {static_cast<uint64_t>(entry->EndOfFile.QuadPart),
                                  Ticks(entry->LastWriteTime), Ticks(entry->ChangeTime)}});
            if (entry->NextEntryOffset == 0)
                break;
            offset += entry->NextEntryOffset;
        }
    }
    std::sort(files.begin(), files.end(), [](const PluginFile& left, const PluginFile& right) {
        return NameBefore(left.name, right.name);
    });
    return files;
}

std::string WithBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

EraseItemList::EraseItemList(const std::string& pluginFolder, double windowsVersion,
                             const ItemSelection& selection, const PluginCacheFile& cacheFile)
{
    std::string folder = WithBackslash(pluginFolder);
    std::vector<PluginFile> files = FindPluginFiles(folder);
    items_.resize(files.size());
    PluginCache cache(cacheFile, folder, windowsVersion);
    ComInit com; // once for all files, rather than once per file
    for (size_t i = 0; i < items_.size(); ++i) {
        std::string name = ToUtf8(files[i].name);
        fileNames_.push_back(folder + name);
        EraseItem& item = items_[i];
        if (!cache.Find(name, files[i].stamp, item) && item.LoadFromFile(fileNames_[i], windowsVersion))
            cache.Add(name, files[i].stamp, item);
        item.path = fileNames_[i];
    }
    cache.Save();
    PathTokenMemo folders; // thousands of detect paths name the same few
    Detector detector;
    for (EraseItem& item : items_) {
        if (item.loaded)
            item.detected = detector.IsDetected(item);
        if (!item.loaded)
            failed_.push_back(&item);
        else if (!item.detected)
            undetected_.push_back(&item);
        else if (selection.IsItemSelected(item))
            checked_.push_back(&item);
        else
            unchecked_.push_back(&item);
    }
}

uint64_t EraseItemList::SumOverChecked(uint64_t EraseTally::*counter) const
{
    uint64_t sum = 0;
    for (const EraseItem* item : checked_)
        sum += item->tally.*counter;
    return sum;
}

uint64_t EraseItemList::TotalFilesErased() const
{
    return SumOverChecked(&EraseTally::filesErased);
}

uint64_t EraseItemList::TotalBytesReleased() const
{
    return SumOverChecked(&EraseTally::bytesReleased);
}

uint64_t EraseItemList::TotalRegistryEntriesErased() const
{
    return SumOverChecked(&EraseTally::registryEntriesErased);
}

std::string EraseItemList::IdForDescription(std::string_view descript) const
{
    auto found = std::find_if(items_.begin(), items_.end(), [descript](const EraseItem& item) {
        return item.loaded && item.descript == descript;
    });
    return found == items_.end() ? std::string() : found->id;
}

const EraseItem* EraseItemList::FailedItemNamed(std::string_view id) const
{
    auto named = [id](const EraseItem* item) {
        if (!item->id.empty())
            return item->id == id;
        std::wstring stem = ToWide(PluginFileName(*item));
        stem.resize(stem.size() - 4); // ".aep", which every listed file ends in
        std::wstring wide = ToWide(id);
        return CompareStringOrdinal(stem.c_str(), static_cast<int>(stem.size()), wide.c_str(),
                                    static_cast<int>(wide.size()), TRUE) == CSTR_EQUAL;
    };
    auto found = std::find_if(failed_.begin(), failed_.end(), named);
    return found == failed_.end() ? nullptr : *found;
}

std::string PluginFileName(const EraseItem& item)
{
    return item.path.substr(item.path.find_last_of('\\') + 1);
}

std::string ItemExplanation(const EraseItem& item)
{
    return !item.head.empty() ? item.head
                              : "Removes what its plug-in file " + PluginFileName(item) + " names.";
}
