#include "settings/ScheduleValues.h"

#include "framework/RegKey.h"
#include "settings/Schedule.h"

ScheduleValues CurrentSchedule()
{
    const Settings& settings = ProcessSettings();
    ScheduleValues values;
    values.enableSchedule = settings.enableSchedule != 0;
    values.eraseAtStartup = settings.eraseAtStartup != 0;
    values.eraseAtEvery = settings.eraseAtEvery != 0;
    values.erasePeriod = settings.erasePeriod;
    return values;
}

void StoreSchedule(const ScheduleValues& values, const Policies& policies, const std::string& keyPath)
{
    RegKey key;
    bool open = key.Create(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS;
    // The organization's values stay in force; the user's own stay stored underneath for when they go.
    auto store = [&](uint32_t& setting, uint32_t value, const std::optional<uint32_t>& forced,
                     const char* name) {
        if (forced)
            return;
        setting = value;
        if (open)
            key.SetDword(value, name);
    };
    Settings& settings = ProcessSettings();
    store(settings.enableSchedule, values.enableSchedule, policies.enableSchedule, kEnableScheduleValue);
    store(settings.eraseAtStartup, values.eraseAtStartup, policies.eraseAtStartup, kEraseAtStartupValue);
    store(settings.eraseAtEvery, values.eraseAtEvery, policies.eraseAtEvery, kEraseAtEveryValue);
    if (values.erasePeriod < kSchedulePeriodCount)
        store(settings.erasePeriod, values.erasePeriod, policies.erasePeriod, kErasePeriodValue);
}
