#include "app/EraseRunSetup.h"

#include "app/AppPaths.h"

EraseRunSetup EraseRunSetup::ForProgram()
{
    EraseRunSetup setup;
    setup.pluginFolder = GetPluginFolder();
    setup.configPath = GetConfigFilePath();
    setup.recordPath = GetRecordFilePath();
    setup.windowsVersion = GetWindowsVersion();
    setup.settings = ProcessSettings();
    return setup;
}
