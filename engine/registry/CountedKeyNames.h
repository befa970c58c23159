#pragma once
#include "framework/Owners.h"

#include <windows.h>

#include <string>
#include <string_view>

// Subkeys and values by their names as the registry counts them. A name may hold a NUL character, which
// the Win32 registry functions take for its end: there it would name another entry, or none. The key
// handles given must be opened ones, never a predefined root key.

// The name of the subkey or value at index; ERROR_NO_MORE_ITEMS past the last one.
LONG CountedSubkeyNameAt(HKEY key, DWORD index, std::wstring& name);
LONG CountedValueNameAt(HKEY key, DWORD index, std::wstring& name);

// Opens the subkey itself: a link key is not followed to its target.
LONG OpenCountedSubkey(HKEY key, std::wstring_view name, REGSAM access, RegKeyHandle& opened);
LONG DeleteCountedValue(HKEY key, std::wstring_view name);
// ERROR_SUCCESS when the value is there.
LONG QueryCountedValue(HKEY key, std::wstring_view name);

// A name as a report shows it, a NUL as the sign for one ("␀").
std::string CountedNameText(std::wstring_view name);
