#pragma once
#include "engine/EraseTally.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// The user's settings and the running statistics, kept as values of one key under HKEY_CURRENT_USER.
inline constexpr char kSettingsKeyPath[] = "Software\\Vestrel\\Setting";

// The names of that key's values: the settings (DWORDs)...
inline constexpr char kEnableScheduleValue[] = "Enable Schedule";
inline constexpr char kEraseAtStartupValue[] = "Erase at Startup";
inline constexpr char kEraseAtEveryValue[] = "Erase at Every";
inline constexpr char kErasePeriodValue[] = "Erase Period";
inline constexpr char kExpressEraseModeValue[] = "Express Erase Mode";
inline constexpr char kPlaySoundValue[] = "Play Sound";
// Files are overwritten before they are deleted, in every run: the window's, the schedule's, the task's.
inline constexpr char kSecureDeletionValue[] = "Secure Deletion";
// ...and the statistics (QWORDs, DWORDs as an older Vestrel wrote them, and one string).
inline constexpr char kFilesErasedValue[] = "Erased File Num";
inline constexpr char kBytesReleasedValue[] = "Erased File Size";
inline constexpr char kRegistryEntriesErasedValue[] = "Erased Register Num";
inline constexpr char kLastErasedTimeValue[] = "Last Erased Time";
// The end of the last run as seconds since 1970 (QWORD), which the window's schedule and the scheduled
// task both read, so that neither erases a second time in one period.
inline constexpr char kLastErasedAtValue[] = "Last Erased At";

struct Settings {
    uint32_t enableSchedule = 0;
    uint32_t eraseAtStartup = 0;
    uint32_t eraseAtEvery = 0;
    uint32_t erasePeriod = 0;
    uint32_t expressEraseMode = 0;
    uint32_t playSound = 0;
    uint32_t secureDeletion = 0;
};

// Totals over every run, stored as 64-bit values so that they never wrap.
struct EraseStatistics {
    uint64_t filesErased = 0;
    uint64_t bytesReleased = 0;
    uint64_t registryEntriesErased = 0;
    std::string lastErasedText;     // stored
    std::time_t lastErasedTime = 0; // stored as "Last Erased At"; zero before the first run

    // Adds one run's totals and marks the run's end.
    void AddRun(const EraseTally& run, std::time_t now);
};

// The process-wide copies, read once at start-up.
Settings& ProcessSettings();
EraseStatistics& ProcessStatistics();

// Reads every value that can be read into the process-wide copies; the others keep what they hold. The
// organization's schedule policies then replace what they set. keyPath is relative to HKEY_CURRENT_USER.
void LoadSettings(const std::string& keyPath = kSettingsKeyPath);
// Replaces the process-wide statistics by what is stored now (a missing value is 0 or empty), so the
// window shows what vestrel-cli may have added meanwhile. The last-erased time is the later of the one in
// memory and the stored one.
void LoadStatistics(const std::string& keyPath = kSettingsKeyPath);
// Writes the statistics (the totals as QWORDs), creating the key when it is missing. Failures are silent.
void StoreStatistics(const std::string& keyPath = kSettingsKeyPath);
// Adds one run to the statistics as stored at this moment and stores the sum, which the process-wide copy
// then holds: what another program stored since this one read them is kept.
void AddRunToStoredStatistics(const EraseTally& run, std::time_t now,
                              const std::string& keyPath = kSettingsKeyPath);

// "%H:%M, %b/%d/%y" with English month names, whatever the locale: 09:05, Jul/03/04.
std::string FormatLastErasedTime(const std::tm& localTime);
// The time such a text names (the two-digit year taken in this century); nothing for any other text.
std::optional<std::tm> ParseLastErasedTime(const std::string& text);
