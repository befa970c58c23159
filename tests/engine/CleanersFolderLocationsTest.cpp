#include "engine/FolderLocations.h"
#include "framework/Utf8.h"

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

} // namespace
