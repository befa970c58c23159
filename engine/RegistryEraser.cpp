#include "engine/RegistryEraser.h"

#include "framework/Utf8.h"

#include <vector>

namespace {

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

bool RegistryEraser::OpenParent(const RegistryPath& path)
{
    return path.valid && path.root && key_.Open(path.root, path.parent, KEY_ALL_ACCESS) == ERROR_SUCCESS;
}

uint32_t RegistryEraser::DeleteKeyByPath(const std::string& path)
{
    RegistryPath parsed = ParseRegistryPath(path);
    // An empty key name would name the parent itself and empty it.
    if (parsed.name.empty() || !OpenParent(parsed))
        return 0;
    return DeleteKeyTree(key_.get(), parsed.name) == ERROR_SUCCESS ? 1 : 0;
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
    LONG status =
        RegOpenKeyExW(key, subKey.c_str(), 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, child.put());
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
    return RegDeleteKeyW(key, subKey.c_str());
}

uint32_t RegistryEraser::DeleteValueByPath(const std::string& path)
{
    RegistryPath parsed = ParseRegistryPath(path);
    if (!OpenParent(parsed))
        return 0;
    HKEY key = key_.get();
    if (parsed.name.find('*') == std::string::npos)
        return RegDeleteValueW(key, ToWide(parsed.name).c_str()) == ERROR_SUCCESS ? 1 : 0;
    // "*" means every value: collect the names first, since deleting shifts the indexes.
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD index = 0; ValueNameAt(key, index, name) == ERROR_SUCCESS; ++index)
        names.push_back(name);
    uint32_t deleted = 0;
    for (const std::wstring& valueName : names) {
        if (RegDeleteValueW(key, valueName.c_str()) == ERROR_SUCCESS)
            ++deleted;
    }
    return deleted;
}

int RegistryEraser::SetStringValueByPath(const std::string& path, const std::string& text)
{
    RegistryPath parsed = ParseRegistryPath(path);
    if (!parsed.valid || !parsed.root)
        return 2;
    RegKey().Create(parsed.root, parsed.parent, KEY_ALL_ACCESS);
    if (!OpenParent(parsed))
        return 2;
    key_.SetString(text, parsed.name);
    return 0;
}

bool RegistryEraser::ValueExistsByPath(const std::string& path)
{
    RegistryPath parsed = ParseRegistryPath(path);
    return OpenParent(parsed) && RegQueryValueExW(key_.get(), ToWide(parsed.name).c_str(), nullptr, nullptr,
                                                  nullptr, nullptr) == ERROR_SUCCESS;
}
