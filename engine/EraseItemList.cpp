#include "engine/EraseItemList.h"

#include "engine/ItemConditions.h"
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

bool NameBefore(const std::wstring& left, const std::wstring& right)
{
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_LESS_THAN;
}

// The plug-in files directly in the folder, in name order, so the lists have the same order on every
// file system.
std::vector<std::string> FindPluginFiles(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW((ToExtendedPath(folder) + L"*.aep").c_str(), &entry));
    if (find) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && HasPluginExtension(entry.cFileName))
                names.emplace_back(entry.cFileName);
        } while (FindNextFileW(find.get(), &entry));
    }
    std::sort(names.begin(), names.end(), NameBefore);
    std::vector<std::string> paths;
    for (const std::wstring& name : names)
        paths.push_back(folder + ToUtf8(name));
    return paths;
}

} // namespace

EraseItemList::EraseItemList(const std::string& pluginFolder, double windowsVersion,
                             const ItemSelection& selection)
    : fileNames_(FindPluginFiles(pluginFolder)), items_(fileNames_.size())
{
    ComInit com; // once for all files, rather than once per file
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i].LoadFromFile(fileNames_[i], windowsVersion);
    for (EraseItem& item : items_) {
        if (item.loaded)
            item.detected = IsDetected(item);
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
