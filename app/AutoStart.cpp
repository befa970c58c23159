#include "app/AutoStart.h"

#include "app/AppPaths.h"
#include "engine/RegistryEraser.h"

namespace {

std::string EntryIn(const std::string& list)
{
    return list + "\\" + GetAppName();
}

} // namespace

bool EnableAutoStart(const RunLists& lists)
{
    RegistryEraser registry;
    return registry.SetStringValueByPath(EntryIn(lists.user), GetAppFolder() + GetAppName() + ".exe") == 0;
}

bool DisableAutoStart(const RunLists& lists)
{
    RegistryEraser registry;
    registry.DeleteValueByPath(EntryIn(lists.machine));
    return registry.DeleteValueByPath(EntryIn(lists.user)) != 0;
}

bool IsAutoStartEnabled(const RunLists& lists)
{
    RegistryEraser registry;
    return registry.ValueExistsByPath(EntryIn(lists.machine)) ||
           registry.ValueExistsByPath(EntryIn(lists.user));
}

AutoStartOperations AutoStartOperationsFor(const RunLists& lists)
{
    return {[lists] { return IsAutoStartEnabled(lists); }, [lists] { return EnableAutoStart(lists); },
            [lists] { return DisableAutoStart(lists); }};
}
