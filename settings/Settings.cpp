#include "settings/Settings.h"

#include "framework/Owners.h"
#include "framework/RegKey.h"
#include "settings/Policies.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "Last Erased Time" is read into room for 255 characters and its terminator.
constexpr DWORD kLastErasedTimeRoom = 256;

} // namespace

void EraseStatistics::AddRun(const EraseTally& run, std::time_t now)
{
    filesErased += run.filesErased;
    bytesReleased += run.bytesReleased;
    registryEntriesErased += run.registryEntriesErased;
    if (const std::tm* local = std::localtime(&now))
        lastErasedText = FormatLastErasedTime(*local);
    lastErasedTime = now;
}

Settings& ProcessSettings()
{
    static Settings settings;
    return settings;
}

EraseStatistics& ProcessStatistics()
{
    static EraseStatistics statistics;
    return statistics;
}

namespace {

void ReadDword(RegKey& key, uint32_t& value, const char* name)
{
    DWORD read = value;
    if (key.QueryDword(read, name) == ERROR_SUCCESS)
        value = read;
}

void ReadStatistics(RegKey& key)
{
    EraseStatistics& statistics = ProcessStatistics();
    key.QueryCount(statistics.filesErased, kFilesErasedValue);
    key.QueryCount(statistics.bytesReleased, kBytesReleasedValue);
    key.QueryCount(statistics.registryEntriesErased, kRegistryEntriesErasedValue);
    key.QueryString(statistics.lastErasedText, kLastErasedTimeValue, kLastErasedTimeRoom);
    uint64_t storedTime = 0;
    if (key.QueryCount(storedTime, kLastErasedAtValue) == ERROR_SUCCESS)
        statistics.lastErasedTime = std::max(statistics.lastErasedTime, static_cast<std::time_t>(storedTime));
}

} // namespace

void LoadStatistics(const std::string& keyPath)
{
    EraseStatistics& statistics = ProcessStatistics();
    std::time_t lastErasedTime = statistics.lastErasedTime;
    statistics = EraseStatistics();
    statistics.lastErasedTime = lastErasedTime;
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) == ERROR_SUCCESS)
        ReadStatistics(key);
}

void AddRunToStoredStatistics(const EraseTally& run, std::time_t now, const std::string& keyPath)
{
    // Vestrel and vestrel-cli may end runs at the same moment: one reads, adds and stores at a time. A
    // holder that never lets go delays the other by a few seconds only.
    constexpr DWORD kLockWaitMs = 5000;
    UniqueHandle lock(CreateMutexW(nullptr, FALSE, L"Local\\Vestrel statistics"));
    bool locked = lock && WaitForSingleObject(lock.get(), kLockWaitMs) != WAIT_TIMEOUT;
    LoadStatistics(keyPath);
    ProcessStatistics().AddRun(run, now);
    StoreStatistics(keyPath);
    if (locked)
        ReleaseMutex(lock.get());
}

namespace {

void ReadSettings(RegKey& key)
{
    auto dword = [&key](uint32_t& value, const char* name) { ReadDword(key, value, name); };
    ReadStatistics(key);
    Settings& settings = ProcessSettings();
    dword(settings.enableSchedule, kEnableScheduleValue);
    dword(settings.eraseAtStartup, kEraseAtStartupValue);
    dword(settings.eraseAtEvery, kEraseAtEveryValue);
    dword(settings.erasePeriod, kErasePeriodValue);
    dword(settings.expressEraseMode, kExpressEraseModeValue);
    dword(settings.playSound, kPlaySoundValue);
    dword(settings.secureDeletion, kSecureDeletionValue);
}

} // namespace

void LoadSettings(const std::string& keyPath)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS)
        ReadSettings(key);
    ProcessPolicies().ApplyTo(ProcessSettings());
}

void StoreStatistics(const std::string& keyPath)
{
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;
    const EraseStatistics& statistics = ProcessStatistics();
    key.SetQword(statistics.filesErased, kFilesErasedValue);
    key.SetQword(statistics.bytesReleased, kBytesReleasedValue);
    key.SetQword(statistics.registryEntriesErased, kRegistryEntriesErasedValue);
    key.SetString(statistics.lastErasedText, kLastErasedTimeValue);
    if (statistics.lastErasedTime > 0)
        key.SetQword(static_cast<uint64_t>(statistics.lastErasedTime), kLastErasedAtValue);
}

std::string FormatLastErasedTime(const std::tm& localTime)
{
    int month = localTime.tm_mon >= 0 && localTime.tm_mon < 12 ? localTime.tm_mon : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d, %s/%02d/%02d", localTime.tm_hour, localTime.tm_min,
                  kMonths[month], localTime.tm_mday, (localTime.tm_year % 100 + 100) % 100);
    return text;
}

std::optional<std::tm> ParseLastErasedTime(const std::string& text)
{
    int hour = 0, minute = 0, day = 0, year = 0, length = 0;
    char month[4] = {};
    if (std::sscanf(text.c_str(), "%2d:%2d, %3[A-Za-z]/%2d/%2d%n", &hour, &minute, month, &day, &year,
                    &length) != 5 ||
        static_cast<size_t>(length) != text.size() || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        day < 1 || day > 31 || year < 0)
        return std::nullopt;
    auto named = std::find_if(std::begin(kMonths), std::end(kMonths),
                              [&](const char* name) { return std::string(name) == month; });
    if (named == std::end(kMonths))
        return std::nullopt;
    std::tm time{};
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_mday = day;
    time.tm_mon = static_cast<int>(named - std::begin(kMonths));
    time.tm_year = 100 + year;
    return time;
}
