#include "settings/OptionsValues.h"

#include "framework/RegKey.h"
#include "settings/KeepSites.h"
#include "settings/Policies.h"

namespace {

void Update(uint32_t& setting, bool value, const char* valueName, const std::string& keyPath)
{
    uint32_t state = value ? 1 : 0;
    if (state == setting)
        return;
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS)
        key.SetDword(state, valueName);
    setting = state;
}

} // namespace

OptionsValues CurrentOptions(const AutoStartOperations& autoStart, const std::string& keyPath)
{
    const Settings& settings = ProcessSettings();
    OptionsValues values;
    values.autoLaunch = autoStart.isEnabled();
    values.expressEraseMode = settings.expressEraseMode != 0;
    values.playSound = settings.playSound != 0;
    KeepSiteList own = ReadKeepSites(keyPath);
    values.keepSites = own.sites;
    values.keepSitesProblem = !own.problem.empty() ? own.problem : ProcessPolicies().KeepSites().problem;
    return values;
}

void StoreOptions(const OptionsValues& values, const AutoStartOperations& autoStart,
                  const std::string& keyPath)
{
    if (values.autoLaunch)
        autoStart.enable();
    else
        autoStart.disable();
    Settings& settings = ProcessSettings();
    Update(settings.expressEraseMode, values.expressEraseMode, kExpressEraseModeValue, keyPath);
    Update(settings.playSound, values.playSound, kPlaySoundValue, keyPath);
    KeepSiteList stored = ReadKeepSites(keyPath);
    if (stored.problem.empty() && values.keepSites != stored.sites)
        WriteKeepSites(values.keepSites, keyPath);
}
