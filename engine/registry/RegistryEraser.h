#pragma once
#include "engine/EraseMode.h"
#include "engine/registry/RegistryKeep.h"
#include "engine/registry/RegistryPath.h"
#include "framework/RegKey.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// Deletes registry keys and values named by registry paths. Holds one open key at a time. A preview
// deletes nothing and counts what an erase could delete now: a key whose whole tree opens with the
// access its deletion needs, a value that exists in a key that opens with full access.
// Links are never followed below the path's parent: a link key is deleted itself, with nothing of its
// target, and holds no values to delete. A protected key (engine/registry/ProtectedKeys.h) is never
// deleted or emptied of all its values; the listener hears it was refused.
// What the item keeps stays, and so does every key above a kept one: such a key loses its other subkeys and
// values, each of which counts as one entry.
class RegistryEraser {
public:
    explicit RegistryEraser(EraseOptions options = {}, const RegistryKeep* keep = nullptr)
        : options_(options), keep_(keep)
    {
    }

    // Deletes the key with all its subkeys; 1 when it is gone, else 0.
    uint32_t DeleteKeyByPath(const std::string& path);
    // Deletes the named value; a name holding "*" anywhere means every value of the key. Returns the
    // number of values deleted.
    uint32_t DeleteValueByPath(const std::string& path);
    // Writes a string value, creating the keys on its way. 0 when the key opened, 2 when it did not.
    int SetStringValueByPath(const std::string& path, const std::string& text);
    // Whether the named value can be read.
    bool ValueExistsByPath(const std::string& path);

    // Deletes subKey of key with everything below it; the Win32 status of the last step.
    static LONG DeleteKeyTree(HKEY key, const std::string& subKey);

private:
    static LONG DeleteTree(HKEY key, const std::wstring& subKey);
    // Opens the whole tree as DeleteTree would, deleting nothing.
    static LONG PreviewTree(HKEY key, const std::wstring& subKey);
    // Deletes what the key holds besides what is kept below it; the entries deleted.
    uint32_t DeleteAroundKept(HKEY parent, const std::wstring& subKey, const std::string& path);
    // Opens the parent key of a parsed path with full access into key_.
    LONG OpenParent(const RegistryPath& path, DWORD options = 0);
    // Whether the key is protected; the listener hears the parameter named it.
    bool Refused(const std::string& keyPath, const std::string& parameter);
    // 1 for a deleted (in a preview, deletable) entry; else 0, and the listener hears why it stayed
    // unless it was not there at all.
    uint32_t Counted(LONG status, const std::string& path, bool isKey);

    EraseOptions options_;
    const RegistryKeep* keep_;
    RegKey key_;
};
