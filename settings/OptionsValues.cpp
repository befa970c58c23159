#include "settings/OptionsValues.h"

#include "engine/files/SolidStateDrive.h"
#include "framework/RegKey.h"
#include "framework/Utf8.h"
#include "settings/KeepSites.h"
#include "settings/Policies.h"

namespace {

std::string WindowsDrive()
{
    wchar_t folder[MAX_PATH];
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return length >= 3 && length < MAX_PATH ? ToUtf8(std::wstring_view(folder, 3)) : std::string();
}

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
    values.secureDeletion = settings.secureDeletion != 0;
    values.secureDeletionManaged = ProcessPolicies().secureDeletion.has_value();
    values.solidStateDrive = IsSolidStateDrive(WindowsDrive());
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
    // The organization's value stays in force; the user's own stays stored underneath.
    if (!ProcessPolicies().secureDeletion)
        Update(settings.secureDeletion, values.secureDeletion, kSecureDeletionValue, keyPath);
    KeepSiteList stored = ReadKeepSites(keyPath);
    if (stored.problem.empty() && values.keepSites != stored.sites)
        WriteKeepSites(values.keepSites, keyPath);
}
