#include "framework/Utf8.h"
#include "framework/RegKey.h"
#include "settings/Settings.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <string>

namespace {

class RegistrySettingsTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        ProcessSettings() = {};
        ProcessStatistics() = {};
    }

    void TearDown() override
    {
        ProcessSettings() = {};
        ProcessStatistics() = {};
        SandboxTest::TearDown();
    }

    RegKey CreateKey() const
    {
        RegKey key;
        EXPECT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
        return key;
    }

    void SetRaw(const RegKey& key, const std::string& name, DWORD type, const void* data, DWORD size) const
    {
        ASSERT_EQ(
            RegSetValueExW(key.get(), ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
    }
};

TEST_F(RegistrySettingsTest, FreshUserKeepsDefaultsAndTheFirstStoreCreatesTheKey)
{
    LoadSettings(ScratchKey());
    const Settings& settings = ProcessSettings();
    EXPECT_EQ(settings.enableSchedule + settings.eraseAtStartup + settings.eraseAtEvery +
                  settings.erasePeriod + settings.expressEraseMode + settings.playSound,
              0u);
    const EraseStatistics& statistics = ProcessStatistics();
    EXPECT_EQ(statistics.filesErased + statistics.bytesReleased + statistics.registryEntriesErased, 0u);
    EXPECT_EQ(statistics.lastErasedText, "");

    ProcessStatistics().AddRun({3, 4096, 2}, 0);
    StoreStatistics(ScratchKey());
    RegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
    uint64_t files = 0, bytes = 0, registry = 0;
    std::string text;
    EXPECT_EQ(key.QueryCount(files, "Erased File Num"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryCount(bytes, "Erased File Size"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryCount(registry, "Erased Register Num"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryString(text, "Last Erased Time", 256), ERROR_SUCCESS);
    EXPECT_EQ(files, 3u);
    EXPECT_EQ(bytes, 4096u);
    EXPECT_EQ(registry, 2u);
    EXPECT_EQ(text, ProcessStatistics().lastErasedText);
}

TEST_F(RegistrySettingsTest, LoadsEveryStoredValue)
{
    RegKey key = CreateKey();
    const char* names[] = {"Erased File Num", "Erased File Size",   "Erased Register Num",
                           "Enable Schedule", "Erase at Startup",   "Erase at Every",
                           "Erase Period",    "Express Erase Mode", "Play Sound"};
    DWORD value = 1;
    for (const char* name : names)
        ASSERT_EQ(key.SetDword(value++, name), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("09:05, Jul/03/04", "Last Erased Time"), ERROR_SUCCESS);

    LoadSettings(ScratchKey());
    const EraseStatistics& statistics = ProcessStatistics();
    EXPECT_EQ(statistics.filesErased, 1u);
    EXPECT_EQ(statistics.bytesReleased, 2u);
    EXPECT_EQ(statistics.registryEntriesErased, 3u);
    EXPECT_EQ(statistics.lastErasedText, "09:05, Jul/03/04");
    const Settings& settings = ProcessSettings();
    EXPECT_EQ(settings.enableSchedule, 4u);
    EXPECT_EQ(settings.eraseAtStartup, 5u);
    EXPECT_EQ(settings.eraseAtEvery, 6u);
    EXPECT_EQ(settings.erasePeriod, 7u);
    EXPECT_EQ(settings.expressEraseMode, 8u);
    EXPECT_EQ(settings.playSound, 9u);
}

TEST_F(RegistrySettingsTest, UnreadableValuesKeepWhatIsInMemory)
{
    RegKey key = CreateKey();
    ASSERT_EQ(key.SetString(std::string(256, 'x'), "Last Erased Time"), ERROR_SUCCESS);
    const unsigned char twelveBytes[12] = {7};
    SetRaw(key, "Erased File Num", REG_BINARY, twelveBytes, sizeof twelveBytes);
    const DWORD binaryFour = 9; // the type is not checked, only the size
    SetRaw(key, "Play Sound", REG_BINARY, &binaryFour, sizeof binaryFour);
    ProcessStatistics().filesErased = 42;

    LoadSettings(ScratchKey());
    EXPECT_EQ(ProcessStatistics().lastErasedText, "");
    EXPECT_EQ(ProcessStatistics().filesErased, 42u);
    EXPECT_EQ(ProcessSettings().playSound, 9u);

    ASSERT_EQ(key.SetString(std::string(255, 'y'), "Last Erased Time"), ERROR_SUCCESS);
    LoadSettings(ScratchKey());
    EXPECT_EQ(ProcessStatistics().lastErasedText, std::string(255, 'y'));
}

TEST_F(RegistrySettingsTest, RunTotalsGoPast32BitsAndMarkTheTime)
{
    EraseStatistics statistics;
    statistics.bytesReleased = 0xFFFFFFF0u;
    statistics.AddRun({1, 0x20, 1}, 1000);
    statistics.AddRun({2, 0, 0}, 2000);
    EXPECT_EQ(statistics.filesErased, 3u);
    EXPECT_EQ(statistics.bytesReleased, 0x100000010u);
    EXPECT_EQ(statistics.registryEntriesErased, 1u);
    EXPECT_EQ(statistics.lastErasedTime, 2000);
    EXPECT_EQ(statistics.lastErasedText.size(), std::string("09:05, Jul/03/04").size());
}

// Totals near the 32-bit limit once wrapped: 4,294,967,000 files became 105.
TEST_F(RegistrySettingsTest, TotalsAreStoredAsQwordsAndOlderDwordsStillRead)
{
    RegKey key = CreateKey();
    ASSERT_EQ(key.SetDword(4294967000u, "Erased File Num"), ERROR_SUCCESS); // as an older Vestrel stored it
    ASSERT_EQ(key.SetDword(0xFFFFFFFFu, "Erased File Size"), ERROR_SUCCESS);
    LoadStatistics(ScratchKey());
    EXPECT_EQ(ProcessStatistics().filesErased, 4294967000u);

    AddRunToStoredStatistics({401, 4096, 0}, 0, ScratchKey());
    for (const char* name : {"Erased File Num", "Erased File Size", "Erased Register Num"}) {
        DWORD type = 0;
        EXPECT_EQ(RegQueryValueExW(key.get(), ToWide(name).c_str(), nullptr, &type, nullptr, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_QWORD)) << name;
    }
    ProcessStatistics() = {};
    LoadStatistics(ScratchKey());
    EXPECT_EQ(ProcessStatistics().filesErased, 4294967401u);
    EXPECT_EQ(ProcessStatistics().bytesReleased, 0xFFFFFFFFull + 4096);

    AddRunToStoredStatistics({1, 1ull << 40, 3}, 0, ScratchKey());
    ProcessStatistics() = {};
    LoadSettings(ScratchKey());
    EXPECT_EQ(ProcessStatistics().filesErased, 4294967402u);
    EXPECT_EQ(ProcessStatistics().bytesReleased, 0xFFFFFFFFull + 4096 + (1ull << 40));
    EXPECT_EQ(ProcessStatistics().registryEntriesErased, 3u);
}

TEST(LastErasedTimeText, IsPaddedWithEnglishMonths)
{
    std::tm time{};
    time.tm_year = 104;
    time.tm_mon = 6;
    time.tm_mday = 3;
    time.tm_hour = 9;
    time.tm_min = 5;
    EXPECT_EQ(FormatLastErasedTime(time), "09:05, Jul/03/04");
    time.tm_year = 100;
    time.tm_mon = 11;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    EXPECT_EQ(FormatLastErasedTime(time), "23:59, Dec/31/00");
}

TEST_F(RegistrySettingsTest, KeyReportsCreationAndClosesOnce)
{
    RegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey() + "\\missing", KEY_READ), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(key) << "a failed open keeps the key held before";
    EXPECT_EQ(key.SetString("日本語 ✓", "名前"), ERROR_SUCCESS);
    std::string text;
    EXPECT_EQ(key.QueryString(text, "名前", 256), ERROR_SUCCESS);
    EXPECT_EQ(text, "日本語 ✓");
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_FALSE(key);
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
}

} // namespace
