#include "run/EraseRunSetup.h"

#include "settings/AppPaths.h"
#include "settings/KeepSites.h"

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
    KeepSiteList sites = SitesToKeep(policies.KeepSites(), settingsKey);
    context.keptSites = KeptSites(sites.sites);
    context.keptSitesProblem = sites.problem;
    context.secureDeletion = policies.secureDeletion.value_or(settings.secureDeletion) != 0;
    return context;
}
