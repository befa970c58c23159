#include "settings/ProgramContext.h"

#include "settings/AppPaths.h"

EraseContext ProgramEraseContext()
{
    return EraseContext{GetPluginFolder(), ProtectedFolders::OfThisSystem(), GetWindowsVersion()};
}
