#include "app/AutoStart.h"

#include "engine/registry/RegistryEraser.h"
#include "framework/Format.h"
#include "settings/AppPaths.h"

namespace {

std::string EntryIn(const std::string& list)
{
    return list + "\\" + GetAppName();
}

} // namespace

// Quoted, so that Windows cannot take a folder with blanks for a shorter program's path; an older
// unquoted entry has the same name and is simply overwritten.
bool EnableAutoStart(const RunLists& lists)
{
    RegistryEraser registry;
    std::string command = Format("\"%s%s.exe\"", GetAppFolder().c_str(), GetAppName().c_str());
    return registry.SetStringValueByPath(EntryIn(lists.user), command) == 0;
}

bool DisableAutoStart(const RunLists& lists)
{
    RegistryEraser registry;
    registry.DeleteValueByPath(EntryIn(lists.machine));
    registry.DeleteValueByPath(EntryIn(lists.machine32));
    return registry.DeleteValueByPath(EntryIn(lists.user)) != 0;
}

bool IsAutoStartEnabled(const RunLists& lists)
{
    RegistryEraser registry;
    return registry.ValueExistsByPath(EntryIn(lists.machine)) ||
           registry.ValueExistsByPath(EntryIn(lists.machine32)) ||
           registry.ValueExistsByPath(EntryIn(lists.user));
}

AutoStartOperations AutoStartOperationsFor(const RunLists& lists)
{
    return {[lists] { return IsAutoStartEnabled(lists); }, [lists] { return EnableAutoStart(lists); },
            [lists] { return DisableAutoStart(lists); }};
}
