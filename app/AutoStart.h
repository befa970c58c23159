#pragma once
#include "settings/AutoStartOperations.h"

#include <string>

// The Run lists from which Windows starts programs at log-on, as registry paths. Tests point them at
// scratch keys.
struct RunLists {
    std::string user = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::string machine = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    // What a 32-bit program writing the machine-wide list reaches on 64-bit Windows: an older 32-bit
    // Vestrel left its entry there, and registry paths otherwise name the native view.
    std::string machine32 =
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
};

// The auto-start entry is a string value named after the executable's base name, holding the
// executable's full path in quotes, so a renamed copy has an entry of its own.

// Writes the entry into the per-user list only; false when that key could not be opened.
bool EnableAutoStart(const RunLists& lists = RunLists());
// Removes the entry from the machine-wide lists, which a user without the rights cannot do, and from the
// per-user list; the result is the per-user removal's.
bool DisableAutoStart(const RunLists& lists = RunLists());
// Whether any list holds the entry, whatever its data.
bool IsAutoStartEnabled(const RunLists& lists = RunLists());

// The three above on these lists, for the options dialog.
AutoStartOperations AutoStartOperationsFor(const RunLists& lists = RunLists());
