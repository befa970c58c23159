#include "engine/KeyDacl.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

namespace {

RegKeyHandle OpenKey(HKEY root, const std::string& path, REGSAM access)
{
    RegKeyHandle key;
    if (RegOpenKeyExW(root, ToWide(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

std::vector<std::string> SubkeyNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    RegKeyHandle key = OpenKey(root, path, KEY_ENUMERATE_SUB_KEYS);
    if (!key)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256]; // the longest key name the registry allows, and its terminator
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(ToUtf8(std::wstring_view(name, length)));
    }
    return names;
}

} // namespace

std::vector<BYTE> GetKeyDacl(HKEY root, const std::string& path)
{
    RegKeyHandle key = OpenKey(root, path, READ_CONTROL);
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
    RegKeyHandle key = OpenKey(root, path, WRITE_DAC);
    return key && RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
}

void SetKeyDaclTree(HKEY root, const std::string& path, PSECURITY_DESCRIPTOR descriptor)
{
    SetKeyDacl(root, path, descriptor);
    // Listed after the new DACL is on, which is what lets a locked key be listed at all. The registry is at
    // most 512 levels deep, so the recursion stays shallow.
    for (const std::string& name : SubkeyNames(root, path))
        SetKeyDaclTree(root, path + "\\" + name, descriptor);
}
