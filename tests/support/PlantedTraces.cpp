#include "tests/support/PlantedTraces.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <string>

namespace {

// The registry view that the registry commands name, in the 32- and the 64-bit tests alike.
constexpr REGSAM kView = KEY_WOW64_64KEY;

void DeleteTree(HKEY root, const std::string& path)
{
    RegKeyHandle key;
    std::wstring wide = ToWide(path);
    if (RegOpenKeyExW(root, wide.c_str(), 0, KEY_ALL_ACCESS | kView, key.put()) != ERROR_SUCCESS)
        return;
    RegDeleteTreeW(key.get(), nullptr);
    key.reset();
    RegDeleteKeyExW(root, wide.c_str(), kView, 0);
}

} // namespace

PlantedTraces::~PlantedTraces()
{
    for (const std::string& file : files_) {
        std::wstring path = ToExtendedPath(file);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
    // Deepest first; a folder that still holds something the test did not put there stays.
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        RemoveDirectoryW(ToExtendedPath(*folder).c_str());
    for (const PlantedValue& value : values_) {
        RegKeyHandle key;
        if (RegOpenKeyExW(value.root, ToWide(value.keyPath).c_str(), 0, KEY_SET_VALUE | kView, key.put()) ==
            ERROR_SUCCESS)
            RegDeleteValueW(key.get(), ToWide(value.name).c_str());
    }
    for (auto key = keys_.rbegin(); key != keys_.rend(); ++key)
        DeleteTree(key->first, key->second);
}

bool PlantedTraces::Folder(const std::string& path)
{
    size_t start = path.find('\\', 3);
    for (size_t i = start;; i = path.find('\\', i + 1)) {
        std::string part = i == std::string::npos ? path : path.substr(0, i);
        if (!part.empty() && part.back() != '\\' && CreateDirectoryW(ToExtendedPath(part).c_str(), nullptr))
            folders_.push_back(part);
        if (i == std::string::npos)
            break;
    }
    DWORD attributes = GetFileAttributesW(ToExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PlantedTraces::File(const std::string& path, size_t bytes)
{
    if (!Folder(path.substr(0, path.find_last_of('\\'))))
        return false;
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    files_.push_back(path);
    std::string content(bytes, 'v');
    DWORD written = 0;
    return WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

bool PlantedTraces::Key(HKEY root, const std::string& path)
{
    for (size_t i = path.find('\\');; i = path.find('\\', i + 1)) {
        std::string part = i == std::string::npos ? path : path.substr(0, i);
        RegKeyHandle key;
        DWORD disposition = 0;
        if (RegCreateKeyExW(root, ToWide(part).c_str(), 0, nullptr, 0, KEY_READ | kView, nullptr, key.put(),
                            &disposition) != ERROR_SUCCESS)
            return false;
        if (disposition == REG_CREATED_NEW_KEY) {
            // The tree below a created key goes with it, so that key alone is remembered.
            keys_.emplace_back(root, part);
            return RegCreateKeyExW(root, ToWide(path).c_str(), 0, nullptr, 0, KEY_READ | kView, nullptr,
                                   key.put(), nullptr) == ERROR_SUCCESS;
        }
        if (i == std::string::npos)
            return true;
    }
}

bool PlantedTraces::Value(HKEY root, const std::string& keyPath, const std::string& name,
                          const std::string& text)
{
    if (!Key(root, keyPath))
        return false;
    RegKeyHandle key;
    if (RegOpenKeyExW(root, ToWide(keyPath).c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE | kView, key.put()) !=
        ERROR_SUCCESS)
        return false;
    std::wstring wideName = ToWide(name);
    if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        values_.push_back({root, keyPath, name});
    std::wstring data = ToWide(text);
    return RegSetValueExW(key.get(), wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool PlantedTraces::FileExists(const std::string& path)
{
    return GetFileAttributesW(ToExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PlantedTraces::KeyExists(HKEY root, const std::string& path)
{
    RegKeyHandle key;
    return RegOpenKeyExW(root, ToWide(path).c_str(), 0, KEY_READ | kView, key.put()) == ERROR_SUCCESS;
}

bool PlantedTraces::ValueExists(HKEY root, const std::string& keyPath, const std::string& name)
{
    RegKeyHandle key;
    if (RegOpenKeyExW(root, ToWide(keyPath).c_str(), 0, KEY_QUERY_VALUE | kView, key.put()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(key.get(), ToWide(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}
