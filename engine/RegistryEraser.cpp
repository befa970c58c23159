#include "engine/RegistryEraser.h"

#include "engine/ErrorText.h"
#include "engine/ProtectedKeys.h"
#include "framework/Utf8.h"

#include <winternl.h>

#include <vector>

// Deletes the very key a handle was opened on, which RegDeleteKeyW cannot do for a link key: it opens
// the name again and so reaches the target.
extern "C" NTSYSAPI NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace {

constexpr REGSAM kTreeAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Opens a subkey of key as itself: a link key is not followed to its target.
LONG OpenUnfollowed(HKEY key, const std::wstring& subKey, REGSAM access, RegKeyHandle& opened)
{
    return RegOpenKeyExW(key, subKey.c_str(), REG_OPTION_OPEN_LINK, access | kRegistryView, opened.put());
}

LONG DeleteUnfollowed(HKEY key, const std::wstring& subKey)
{
    RegKeyHandle doomed;
    LONG status = OpenUnfollowed(key, subKey, DELETE, doomed);
    if (status != ERROR_SUCCESS)
        return status;
    return static_cast<LONG>(RtlNtStatusToDosError(NtDeleteKey(doomed.get())));
}

// A link key holds the name of its target in this one value.
bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// Reads the name of the subkey or value at index into name, growing it until the name fits.
template <typename Enumerate>
LONG NameAt(DWORD index, std::wstring& name, Enumerate enumerate)
{
    if (name.size() < 256)
        name.resize(256);
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        LONG status = enumerate(index, name.data(), &length);
        if (status == ERROR_SUCCESS)
            name.resize(length);
        if (status != ERROR_MORE_DATA || name.size() >= 32768)
            return status;
        name.resize(name.size() * 2);
    }
}

LONG SubkeyNameAt(HKEY key, DWORD index, std::wstring& name)
{
    return NameAt(index, name, [key](DWORD i, wchar_t* buffer, DWORD* length) {
        return RegEnumKeyExW(key, i, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

LONG ValueNameAt(HKEY key, DWORD index, std::wstring& name)
{
    return NameAt(index, name, [key](DWORD i, wchar_t* buffer, DWORD* length) {
        return RegEnumValueW(key, i, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

} // namespace

RegistryPath ParseRegistryPath(const std::string& path)
{
    RegistryPath parsed;
    size_t first = path.find('\\');
    if (first == std::string::npos)
        return parsed;
    size_t last = path.rfind('\\');
    parsed.root = RegistryEraser::RootKeyFromName(std::string_view(path).substr(0, first));
    parsed.parent = last > first ? path.substr(first + 1, last - first - 1) : std::string();
    parsed.name = path.substr(last + 1);
    parsed.valid = true;
    return parsed;
}

HKEY RegistryEraser::RootKeyFromName(std::string_view name)
{
    static const struct {
        const char* name;
        HKEY key;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
    };
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    for (const auto& root : kRoots) {
        if (upper == root.name)
            return root.key;
    }
    return nullptr;
}

LONG RegistryEraser::OpenParent(const RegistryPath& path, DWORD options)
{
    if (!path.valid || !path.root)
        return ERROR_FILE_NOT_FOUND;
    return key_.Open(path.root, path.parent, KEY_ALL_ACCESS | kRegistryView, options);
}

bool RegistryEraser::Refused(const std::string& keyPath, const std::string& parameter)
{
    if (!IsProtectedKey(keyPath))
        return false;
    options_.Listener().OnRefused(parameter);
    return true;
}

uint32_t RegistryEraser::Counted(LONG status, const std::string& path, bool isKey)
{
    EraseListener& listener = options_.Listener();
    if (status == ERROR_SUCCESS) {
        listener.OnRegistryEntry(path, isKey);
        return 1;
    }
    if (status != ERROR_FILE_NOT_FOUND && status != ERROR_PATH_NOT_FOUND)
        listener.OnFailure(path, ErrorText(HRESULT_FROM_WIN32(status)));
    return 0;
}

uint32_t RegistryEraser::DeleteKeyByPath(const std::string& path)
{
    if (Refused(path, path))
        return 0;
    RegistryPath parsed = ParseRegistryPath(path);
    // An empty key name would name the parent itself and empty it.
    if (parsed.name.empty() || (keep_ && keep_->Keeps(path)))
        return 0;
    LONG status = OpenParent(parsed);
    if (status == ERROR_SUCCESS && keep_ && keep_->KeepsBelow(path))
        return DeleteAroundKept(key_.get(), ToWide(parsed.name), path);
    if (status == ERROR_SUCCESS) {
        std::wstring name = ToWide(parsed.name);
        status = options_.Preview() ? PreviewTree(key_.get(), name) : DeleteTree(key_.get(), name);
    }
    return Counted(status, path, true);
}

uint32_t RegistryEraser::DeleteAroundKept(HKEY parent, const std::wstring& subKey, const std::string& path)
{
    RegKeyHandle key;
    LONG status = OpenUnfollowed(parent, subKey, kTreeAccess, key);
    if (status != ERROR_SUCCESS)
        return Counted(status, path, true);
    if (IsLink(key.get()))
        return 0; // left whole: its one value is the link
    std::vector<std::wstring> children;
    std::wstring name;
    for (DWORD index = 0; SubkeyNameAt(key.get(), index, name) == ERROR_SUCCESS; ++index)
        children.push_back(name);
    uint32_t deleted = 0;
    for (const std::wstring& child : children) {
        std::string childPath = path + "\\" + ToUtf8(child);
        if (keep_->Keeps(childPath))
            continue;
        if (keep_->KeepsBelow(childPath)) {
            deleted += DeleteAroundKept(key.get(), child, childPath);
            continue;
        }
        status = options_.Preview() ? PreviewTree(key.get(), child) : DeleteTree(key.get(), child);
        deleted += Counted(status, childPath, true);
    }
    return deleted + DeleteValueByPath(path + "\\*");
}

LONG RegistryEraser::DeleteKeyTree(HKEY key, const std::string& subKey)
{
    return DeleteTree(key, ToWide(subKey));
}

LONG RegistryEraser::DeleteTree(HKEY key, const std::wstring& subKey)
{
    if (subKey.empty())
        return ERROR_INVALID_PARAMETER;
    RegKeyHandle child;
    LONG status = OpenUnfollowed(key, subKey, kTreeAccess, child);
    if (status != ERROR_SUCCESS)
        return status;
    // Always the first subkey: each one deleted moves the next into its place.
    std::wstring name;
    while (SubkeyNameAt(child.get(), 0, name) == ERROR_SUCCESS) {
        status = DeleteTree(child.get(), name);
        if (status != ERROR_SUCCESS)
            return status;
    }
    child.reset();
    return DeleteUnfollowed(key, subKey);
}

// The deletion of each key needs its DELETE right besides what the walk through it needs.
LONG RegistryEraser::PreviewTree(HKEY key, const std::wstring& subKey)
{
    if (subKey.empty())
        return ERROR_INVALID_PARAMETER;
    RegKeyHandle child;
    LONG status = OpenUnfollowed(key, subKey, kTreeAccess | DELETE, child);
    std::wstring name;
    for (DWORD index = 0; status == ERROR_SUCCESS && SubkeyNameAt(child.get(), index, name) == ERROR_SUCCESS;
         ++index)
        status = PreviewTree(child.get(), name);
    return status;
}

uint32_t RegistryEraser::DeleteValueByPath(const std::string& path)
{
    RegistryPath parsed = ParseRegistryPath(path);
    bool everyValue = parsed.name.find('*') != std::string::npos;
    std::string keyPath = path.substr(0, path.rfind('\\') + 1);
    if (everyValue && parsed.valid && Refused(keyPath, path))
        return 0;
    LONG status = OpenParent(parsed, REG_OPTION_OPEN_LINK);
    if (status != ERROR_SUCCESS)
        return Counted(status, path, false);
    HKEY key = key_.get();
    if (IsLink(key))
        return 0;
    bool preview = options_.Preview();
    auto deleteValue = [key, preview](const std::wstring& name) {
        return preview ? RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr)
                       : RegDeleteValueW(key, name.c_str());
    };
    if (!everyValue && keep_ && keep_->KeepsValue(keyPath, parsed.name))
        return 0;
    if (!everyValue)
        return Counted(deleteValue(ToWide(parsed.name)), path, false);
    // "*" means every value: collect the names first, since deleting shifts the indexes.
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD index = 0; ValueNameAt(key, index, name) == ERROR_SUCCESS; ++index)
        names.push_back(name);
    uint32_t deleted = 0;
    for (const std::wstring& valueName : names) {
        if (!keep_ || !keep_->KeepsValue(keyPath, ToUtf8(valueName)))
            deleted += Counted(deleteValue(valueName), keyPath + ToUtf8(valueName), false);
    }
    return deleted;
}

int RegistryEraser::SetStringValueByPath(const std::string& path, const std::string& text)
{
    RegistryPath parsed = ParseRegistryPath(path);
    if (!parsed.valid || !parsed.root)
        return 2;
    RegKey().Create(parsed.root, parsed.parent, KEY_ALL_ACCESS | kRegistryView);
    if (OpenParent(parsed) != ERROR_SUCCESS)
        return 2;
    key_.SetString(text, parsed.name);
    return 0;
}

bool RegistryEraser::ValueExistsByPath(const std::string& path)
{
    RegistryPath parsed = ParseRegistryPath(path);
    return OpenParent(parsed) == ERROR_SUCCESS &&
           RegQueryValueExW(key_.get(), ToWide(parsed.name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}
