#include "tests/cli/TreeSnapshot.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <vector>

namespace {

void AddFolder(const std::wstring& folder, const std::string& relative, std::set<std::string>& entries)
{
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::string path = relative + ToUtf8(name);
        uint64_t size = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        entries.insert(path + " " + std::to_string(entry.dwFileAttributes) + " " + std::to_string(size));
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            AddFolder(folder + L"\\" + name, path + "\\", entries);
    } while (FindNextFileW(find.get(), &entry));
}

void AddKey(HKEY key, const std::string& relative, std::set<std::string>& entries)
{
    wchar_t name[16384];
    BYTE data[4096];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 16384, dataLength = sizeof data, type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        entries.insert(relative + "=" + ToUtf8(std::wstring_view(name, nameLength)) + " " +
                       std::string(reinterpret_cast<char*>(data), dataLength));
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 16384;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string child = relative + "\\" + ToUtf8(std::wstring_view(name, nameLength));
        entries.insert(child);
        RegKeyHandle sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.put()) == ERROR_SUCCESS)
            AddKey(sub.get(), child, entries);
    }
}

} // namespace

std::set<std::string> FolderSnapshot(const std::string& folder)
{
    std::set<std::string> entries;
    std::wstring path = ToExtendedPath(folder);
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    AddFolder(path, "", entries);
    return entries;
}

std::set<std::string> KeySnapshot(HKEY root, const std::string& keyPath)
{
    std::set<std::string> entries;
    RegKeyHandle key;
    if (RegOpenKeyExW(root, ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        AddKey(key.get(), "", entries);
    return entries;
}
