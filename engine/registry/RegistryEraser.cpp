#include "engine/registry/RegistryEraser.h"

#include "engine/registry/CountedKeyNames.h"
#include "engine/registry/ProtectedKeys.h"
#include "framework/ErrorText.h"
#include "framework/Utf8.h"

#include <winternl.h>

#include <vector>

// Deletes the very key a handle was opened on, which RegDeleteKeyW cannot do for a link key: it opens
// the name again and so reaches the target.
extern "C" NTSYSAPI NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace {

constexpr REGSAM kTreeAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

constexpr char kStillThere[] =
    "still there after its deletion: a part of it could not be reached by its name";

// Opens a subkey of key as itself: a link key is not followed to its target.
LONG OpenUnfollowed(HKEY key, const std::wstring& subKey, REGSAM access, RegKeyHandle& opened)
{
    return RegOpenKeyExW(key, subKey.c_str(), REG_OPTION_OPEN_LINK, access | kRegistryView, opened.put());
}

// Deletes the key just opened for DELETE, or returns why it could not be opened.
LONG DeleteOpened(LONG openStatus, const RegKeyHandle& doomed)
{
    if (openStatus != ERROR_SUCCESS)
        return openStatus;
    return static_cast<LONG>(RtlNtStatusToDosError(NtDeleteKey(doomed.get())));
}

LONG DeleteUnfollowed(HKEY key, const std::wstring& subKey)
{
    RegKeyHandle doomed;
    return DeleteOpened(OpenUnfollowed(key, subKey, DELETE, doomed), doomed);
}

bool IsMissing(LONG status)
{
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

bool KeyExists(HKEY key, const std::wstring& subKey)
{
    RegKeyHandle opened;
    return !IsMissing(OpenUnfollowed(key, subKey, KEY_QUERY_VALUE, opened));
}

// A link key holds the name of its target in this one value.
bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// Deletes every subkey of key with its tree, each by the name the registry lists.
LONG DeleteSubkeys(HKEY key)
{
    // Always the first subkey: each one deleted moves the next into its place.
    std::wstring name;
    while (CountedSubkeyNameAt(key, 0, name) == ERROR_SUCCESS) {
        RegKeyHandle child;
        LONG status = OpenCountedSubkey(key, name, kTreeAccess | kRegistryView, child);
        if (status == ERROR_SUCCESS)
            status = DeleteSubkeys(child.get());
        child.reset();
        if (status == ERROR_SUCCESS)
            status = DeleteOpened(OpenCountedSubkey(key, name, DELETE | kRegistryView, child), child);
        if (status != ERROR_SUCCESS)
            return status; // the loop never spins on an undeletable child
    }
    return ERROR_SUCCESS;
}

// Opens every subkey below key as DeleteSubkeys would, deleting nothing.
LONG PreviewSubkeys(HKEY key)
{
    LONG status = ERROR_SUCCESS;
    std::wstring name;
    for (DWORD index = 0; status == ERROR_SUCCESS && CountedSubkeyNameAt(key, index, name) == ERROR_SUCCESS;
         ++index) {
        RegKeyHandle child;
        status = OpenCountedSubkey(key, name, kTreeAccess | DELETE | kRegistryView, child);
        if (status == ERROR_SUCCESS)
            status = PreviewSubkeys(child.get());
    }
    return status;
}

} // namespace

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
    if (!IsMissing(status))
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
        // A part of the tree that went missing on the way proves nothing about the key itself.
        if (IsMissing(status) && KeyExists(key_.get(), name)) {
            options_.Listener().OnFailure(path, kStillThere);
            return 0;
        }
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
    for (DWORD index = 0; CountedSubkeyNameAt(key.get(), index, name) == ERROR_SUCCESS; ++index)
        children.push_back(name);
    uint32_t deleted = 0;
    for (const std::wstring& child : children) {
        std::string childPath = path + "\\" + CountedNameText(child);
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
    if (status == ERROR_SUCCESS)
        status = DeleteSubkeys(child.get());
    child.reset();
    return status == ERROR_SUCCESS ? DeleteUnfollowed(key, subKey) : status;
}

// The deletion of each key needs its DELETE right besides what the walk through it needs.
LONG RegistryEraser::PreviewTree(HKEY key, const std::wstring& subKey)
{
    if (subKey.empty())
        return ERROR_INVALID_PARAMETER;
    RegKeyHandle child;
    LONG status = OpenUnfollowed(key, subKey, kTreeAccess | DELETE, child);
    return status == ERROR_SUCCESS ? PreviewSubkeys(child.get()) : status;
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
    if (!everyValue) {
        if (keep_ && keep_->KeepsValue(keyPath, parsed.name))
            return 0;
        std::wstring name = ToWide(parsed.name);
        return Counted(preview ? RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr)
                               : RegDeleteValueW(key, name.c_str()),
                       path, false);
    }
    // "*" means every value: collect the names first, since deleting shifts the indexes. Each is deleted
    // by its whole name, which may hold a NUL.
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD index = 0; CountedValueNameAt(key, index, name) == ERROR_SUCCESS; ++index)
        names.push_back(name);
    uint32_t deleted = 0;
    for (const std::wstring& valueName : names) {
        if (keep_ && keep_->KeepsValue(keyPath, CountedNameText(valueName)))
            continue;
        LONG status = preview ? QueryCountedValue(key, valueName) : DeleteCountedValue(key, valueName);
        deleted += Counted(status, keyPath + CountedNameText(valueName), false);
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
