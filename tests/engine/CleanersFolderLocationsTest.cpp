#include "engine/cleaners/FolderCleaners.h"
#include "engine/CommandExecutor.h"
#include "engine/files/FolderLocations.h"
#include "engine/files/ShellFolders.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "settings/ProgramContext.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/PlantedTraces.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ProfileFolder()
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path);
    return ToUtf8(path);
}

bool IsInside(const std::string& path, const std::string& folder)
{
    return !folder.empty() && path.size() > folder.size() + 1 && path.rfind(folder + "\\", 0) == 0;
}

// Sets TMP for the test and puts the old value back; GetTempPath reads TMP first.
class TempVariable {
public:
    explicit TempVariable(const std::string& value)
    {
        wchar_t old[32768];
        DWORD length = GetEnvironmentVariableW(L"TMP", old, 32768);
        hadOld_ = length > 0 && length < 32768;
        old_.assign(old, hadOld_ ? length : 0);
        SetEnvironmentVariableW(L"TMP", ToWide(value).c_str());
    }
    ~TempVariable() { SetEnvironmentVariableW(L"TMP", hadOld_ ? old_.c_str() : nullptr); }

private:
    std::wstring old_;
    bool hadOld_ = false;
};

TEST(CleanersSpecialFolders, UserFoldersLieInTheProfile)
{
    std::string profile = ProfileFolder();
    ASSERT_FALSE(profile.empty());
    for (int csidl : {CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_RECENT}) {
        std::string folder = SpecialFolderFromIdList(csidl);
        EXPECT_TRUE(IsInside(folder, profile)) << csidl << ": " << folder;
        EXPECT_NE(folder.back(), '\\') << folder;
    }
    for (int csidl : {CSIDL_FAVORITES, CSIDL_NETHOOD}) {
        std::string folder = SpecialFolderPath(csidl);
        EXPECT_TRUE(IsInside(folder, profile)) << csidl << ": " << folder;
    }
    EXPECT_TRUE(IsInside(TempFolderPath(), profile)) << TempFolderPath();
}

TEST(CleanersSpecialFolders, UnknownFolderIsEmpty)
{
    EXPECT_EQ(SpecialFolderFromIdList(0x7F), "");
    EXPECT_EQ(SpecialFolderPath(0x7F), "");
}

TEST(CleanersSpecialFolders, TempFolderUpToTheLongestTheSystemGives)
{
    std::string folder = "S:\\tests\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
    ASSERT_EQ(folder.size() + 1, 251u);
    TempVariable temp(folder + "\\");
    EXPECT_EQ(TempFolderPath(), folder);
}

// The system caps the temporary path; whatever it does with a longer one, a cut path, which would name
// some other folder, must never come out.
TEST(CleanersSpecialFolders, OverlongTempFolderIsWholeOrNothing)
{
    std::string folder = "S:\\tests\\" + std::string(150, 'a') + "\\" + std::string(150, 'b') + "\\temp";
    TempVariable temp(folder + "\\");
    std::string result = TempFolderPath();
    EXPECT_TRUE(result.empty() || result == folder) << result;
}

TEST(CleanersSpecialFolders, TempFolderAtADriveRootKeepsItsBackslash)
{
    TempVariable temp("S:\\");
    EXPECT_EQ(TempFolderPath(), "S:\\");
}

class RefusalListener final : public SilentListener {
public:
    void OnFile(const std::string& path, uint64_t) override { files.push_back(path); }
    void OnRefused(const std::string& path) override { refused.push_back(path); }
    std::vector<std::string> files, refused;
};

// A file of the user's, written two days ago: old enough for every temp cleaner.
bool PlantOldFile(PlantedTraces& traces, const std::string& path)
{
    if (!traces.File(path, 10))
        return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= 48ULL * 36'000'000'000ULL;
    FILETIME old{time.LowPart, time.HighPart};
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    return SetFileTime(file.get(), nullptr, nullptr, &old);
}

// The built-in temp cleaner and the shipped Windows Temp Files item, each on the temporary folder.
class TempCleaners : public SandboxTest {
protected:
    void Run(RefusalListener& listener, EraseTally& tally)
    {
        DeleteTempFiles(tally, {EraseMode::Erase, &listener});
        WriteFile("windows-temp-files.aep", PluginWith("delete-directory", "<item>%temp%</item>",
                                                       "<older-than-hours>24</older-than-hours>"
                                                       "<keep>%temp%\\low</keep>"));
        EraseItem item;
        ASSERT_TRUE(item.LoadFromFile(PathOf("windows-temp-files.aep"), 10)) << item.errorText;
        item.ExecuteItem(ProgramEraseContext(), {EraseMode::Erase, &listener});
        tally.filesErased += item.tally.filesErased;
    }
};

// An installer or a script sets TEMP to a folder of the user's or the machine's own data: it is refused,
// and said to be, never emptied.
TEST_F(TempCleaners, RefuseATemporaryFolderThatIsTheUsersOrTheMachinesData)
{
    for (const KNOWNFOLDERID* known :
         {&FOLDERID_Documents, &FOLDERID_LocalAppData, &FOLDERID_ProgramData, &FOLDERID_Public}) {
        std::string folder = KnownFolderPath(*known);
        SCOPED_TRACE(folder);
        PlantedTraces traces;
        ASSERT_TRUE(PlantOldFile(traces, folder + "\\Vestrel Test Letters\\letter.txt"));
        ASSERT_TRUE(PlantOldFile(traces, folder + "\\vestrel-test-notes.txt"));
        TempVariable temp(folder + "\\"); // GetTempPath reads TMP before TEMP
        RefusalListener listener;
        EraseTally tally;
        Run(listener, tally);
        EXPECT_EQ(tally.filesErased, 0u);
        EXPECT_TRUE(listener.files.empty());
        EXPECT_EQ(listener.refused, (std::vector<std::string>{folder, folder}));
        EXPECT_TRUE(PlantedTraces::FileExists(folder + "\\Vestrel Test Letters\\letter.txt"));
        EXPECT_TRUE(PlantedTraces::FileExists(folder + "\\vestrel-test-notes.txt"));
    }
}

TEST_F(TempCleaners, EmptyANamedFolderBelowTheUsersFolders)
{
    std::string folder = KnownFolderPath(FOLDERID_LocalAppData) + "\\Vestrel Test Temp";
    PlantedTraces traces;
    ASSERT_TRUE(PlantOldFile(traces, folder + "\\a.tmp"));
    ASSERT_TRUE(PlantOldFile(traces, folder + "\\sub\\b.tmp"));
    TempVariable temp(folder + "\\");
    RefusalListener listener;
    EraseTally tally;
    Run(listener, tally);
    EXPECT_EQ(tally.filesErased, 2u);
    EXPECT_TRUE(listener.refused.empty());
    EXPECT_TRUE(PlantedTraces::FileExists(folder));
    EXPECT_FALSE(PlantedTraces::FileExists(folder + "\\sub"));
}

} // namespace
