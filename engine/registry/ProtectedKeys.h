#pragma once
#include <string>

// Registry keys that a plug-in's registry commands must never delete or empty: every root, every key
// directly below a root (HKEY_CURRENT_USER\Software, HKEY_LOCAL_MACHINE\SYSTEM, HKEY_USERS\<user>, each
// top-level key of the classes), the keys that hold Windows' and Vestrel's own settings (Software\Microsoft,
// ...\Windows, ...\Windows\CurrentVersion, ...\Windows NT, ...\Windows NT\CurrentVersion, Software\Policies,
// Software\Vestrel), the keys directly below HKEY_LOCAL_MACHINE\SYSTEM (the control sets), and every key
// above one of these. A path is read as every spelling that reaches the same key: a user's hive through
// HKEY_CURRENT_USER or HKEY_USERS, the classes through HKEY_CLASSES_ROOT or a hive's Software\Classes,
// and either registry view, with or without Wow6432Node. Empty parts and case play no part.
bool IsProtectedKey(const std::string& registryPath);
