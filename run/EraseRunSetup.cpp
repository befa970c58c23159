#include "run/EraseRunSetup.h"

#include "settings/AppPaths.h"

EraseRunSetup EraseRunSetup::ForProgram()
{
    EraseRunSetup setup;
    setup.pluginFolder = GetPluginFolder();
    setup.pluginCache = PluginCacheOf(GetExecutablePath());
    setup.configPath = GetConfigFilePath();
    setup.recordPath = GetRecordFilePath();
    setup.windowsVersion = GetWindowsVersion();
    setup.settings = ProcessSettings();
    return setup;
}

EraseContext EraseRunSetup::Context() const
{
    EraseContext context{pluginFolder, ProtectedFolders::OfThisSystem(), windowsVersion};
    context.stillRunning = stillRunning;
    return context;
}
