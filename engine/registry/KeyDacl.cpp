#include "engine/registry/KeyDacl.h"

#include "engine/registry/RegistryPath.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

namespace {

// The key itself, in the registry view of the registry commands: a link key's own DACL is read and set,
// never its target's.
RegKeyHandle OpenKey(HKEY parent, const std::wstring& name, REGSAM access)
{
    RegKeyHandle key;
    if (RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access | kRegistryView, key.put()) !=
        ERROR_SUCCESS)
        key.reset();
    return key;
}

std::vector<std::wstring> SubkeyNames(HKEY key)
{
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256]; // the longest key name the registry allows, and its terminator
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool SetDacl(HKEY parent, const std::wstring& name, PSECURITY_DESCRIPTOR descriptor)
{
    RegKeyHandle key = OpenKey(parent, name, WRITE_DAC);
    return key && RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
}

// Each subkey is opened below its own parent's handle, so no link on the way is followed. The registry is
// at most 512 levels deep, so the recursion and the handles it holds stay few.
void SetDaclTree(HKEY parent, const std::wstring& name, PSECURITY_DESCRIPTOR descriptor)
{
    SetDacl(parent, name, descriptor);
    // Listed after the new DACL is on, which is what lets a locked key be listed at all.
    RegKeyHandle key = OpenKey(parent, name, KEY_ENUMERATE_SUB_KEYS);
    if (!key)
        return;
    for (const std::wstring& child : SubkeyNames(key.get()))
        SetDaclTree(key.get(), child, descriptor);
}

} // namespace

std::vector<BYTE> GetKeyDacl(HKEY root, const std::string& path)
{
    RegKeyHandle key = OpenKey(root, ToWide(path), READ_CONTROL);
    if (!key)
        return {};
    DWORD size = 0;
    if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size) !=
            ERROR_INSUFFICIENT_BUFFER ||
        size == 0)
        return {};
    std::vector<BYTE> descriptor(size);
    if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor.data(), &size) != ERROR_SUCCESS)
        return {};
    return descriptor;
}

bool SetKeyDacl(HKEY root, const std::string& path, PSECURITY_DESCRIPTOR descriptor)
{
    return SetDacl(root, ToWide(path), descriptor);
}

void SetKeyDaclTree(HKEY root, const std::string& path, PSECURITY_DESCRIPTOR descriptor)
{
    SetDaclTree(root, ToWide(path), descriptor);
}
