#include "engine/cleaners/FolderCleaners.h"
#include "engine/files/FolderLocations.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/support/OwnTempFolder.h"
#include "tests/support/PlantedTraces.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Cleaner = void (*)(EraseTally&, const EraseOptions&);

struct FolderCase {
    const char* name;
    Cleaner clean;
    std::string (*folder)();
};

std::string CacheFolder()
{
    return SpecialFolderFromIdList(CSIDL_INTERNET_CACHE);
}
std::string CookiesFolder()
{
    return SpecialFolderFromIdList(CSIDL_COOKIES);
}
std::string FavoritesFolder()
{
    return SpecialFolderPath(CSIDL_FAVORITES);
}
std::string NetHoodFolder()
{
    return SpecialFolderPath(CSIDL_NETHOOD);
}

void CleanCache(EraseTally& tally, const EraseOptions& options)
{
    DeleteInternetCache(tally, options);
}

std::string ProfileFolder()
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path);
    return ToUtf8(path);
}

// Each case works in the cleaner's real folder in the prefix's profile. That folder is the cleaner's to
// empty, so the test empties it first and then counts exactly what it put there.
class CleanersFolder : public testing::TestWithParam<FolderCase> {
protected:
    void SetUp() override
    {
        folder_ = GetParam().folder();
        ASSERT_FALSE(folder_.empty());
        std::string profile = ProfileFolder();
        ASSERT_EQ(folder_.rfind(profile + "\\", 0), 0u) << folder_ << " is not in the prefix's profile";
        EraseTally before;
        GetParam().clean(before, {});
    }

    std::string folder_;
    OwnTempFolder temp_;
};

TEST_P(CleanersFolder, CountsWhatWasThereAndKeepsTheFolder)
{
    PlantedTraces traces;
    ASSERT_TRUE(traces.File(folder_ + "\\top.txt", 10));
    ASSERT_TRUE(traces.File(folder_ + "\\sub\\middle.dat", 300));
    ASSERT_TRUE(traces.File(folder_ + "\\sub\\deeper\\bottom.bin", 4000));
    ASSERT_TRUE(traces.File(folder_ + "\\locked down.ini", 5));
    SetFileAttributesW(ToExtendedPath(folder_ + "\\locked down.ini").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    EraseTally tally;
    GetParam().clean(tally, {});
    EXPECT_EQ(tally.filesErased, 4u);
    EXPECT_EQ(tally.bytesReleased, 4315u);
    EXPECT_EQ(tally.registryEntriesErased, 0u);
    EXPECT_TRUE(PlantedTraces::FileExists(folder_));
    EXPECT_FALSE(PlantedTraces::FileExists(folder_ + "\\sub"));
    EXPECT_FALSE(PlantedTraces::FileExists(folder_ + "\\top.txt"));
}

TEST_P(CleanersFolder, EmptyFolderCountsNothingAndStays)
{
    EraseTally tally;
    GetParam().clean(tally, {});
    EXPECT_EQ(tally.filesErased, 0u);
    EXPECT_EQ(tally.bytesReleased, 0u);
    EXPECT_TRUE(PlantedTraces::FileExists(folder_));
}

TEST_P(CleanersFolder, FileInUseStaysUncounted)
{
    PlantedTraces traces;
    ASSERT_TRUE(traces.File(folder_ + "\\in use.dat", 77));
    ASSERT_TRUE(traces.File(folder_ + "\\free.dat", 3));
    UniqueHandle held(CreateFileW(ToExtendedPath(folder_ + "\\in use.dat").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EraseTally tally;
    GetParam().clean(tally, {});
    EXPECT_EQ(tally.filesErased, 1u);
    EXPECT_EQ(tally.bytesReleased, 3u);
    EXPECT_TRUE(PlantedTraces::FileExists(folder_ + "\\in use.dat"));
}

INSTANTIATE_TEST_SUITE_P(, CleanersFolder,
                         testing::Values(FolderCase{"Cache", CleanCache, CacheFolder},
                                         FolderCase{"Cookies", DeleteCookies, CookiesFolder},
                                         FolderCase{"Favorites", DeleteFavorites, FavoritesFolder},
                                         FolderCase{"NetHood", DeleteNetHood, NetHoodFolder},
                                         FolderCase{"Temp", DeleteTempFiles, TempFolderPath}),
                         [](const testing::TestParamInfo<FolderCase>& info) { return info.param.name; });

class CleanersCache : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = CacheFolder();
        ASSERT_FALSE(folder_.empty());
        EraseTally before;
        DeleteInternetCache(before);
    }
    std::string folder_;
};

TEST_F(CleanersCache, SecondPassTakesWhatTheFirstCouldNot)
{
    PlantedTraces traces;
    ASSERT_TRUE(traces.File(folder_ + "\\Content.IE5\\ABCD1234\\index.dat", 1000));
    ASSERT_TRUE(traces.File(folder_ + "\\Content.IE5\\ABCD1234\\logo[1].png", 20));
    UniqueHandle browser(CreateFileW(ToExtendedPath(folder_ + "\\Content.IE5\\ABCD1234\\index.dat").c_str(),
                                     GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(browser);

    bool stillThere = false;
    EraseTally tally;
    DeleteInternetCache(tally, {}, [&] {
        stillThere = PlantedTraces::FileExists(folder_ + "\\Content.IE5\\ABCD1234\\index.dat");
        EXPECT_EQ(tally.filesErased, 1u) << "the first pass";
        browser.reset(); // the browser lets go of its index between the passes
    });
    EXPECT_TRUE(stillThere);
    EXPECT_EQ(tally.filesErased, 2u);
    EXPECT_EQ(tally.bytesReleased, 1020u);
    EXPECT_FALSE(PlantedTraces::FileExists(folder_ + "\\Content.IE5"));
    EXPECT_TRUE(PlantedTraces::FileExists(folder_));
}

// Jump lists keep the user's pinned items in the same files as the recent ones, so the recent
// documents cleaner leaves the subfolders that hold them.
TEST(CleanersRecentDocuments, DeletesTheShortcutsAndLeavesTheJumpLists)
{
    std::string recent = SpecialFolderFromIdList(CSIDL_RECENT);
    ASSERT_FALSE(recent.empty());
    EraseTally before;
    DeleteRecentDocuments(before);

    PlantedTraces traces;
    ASSERT_TRUE(traces.File(recent + "\\Budget 2026.xlsx.lnk", 600));
    ASSERT_TRUE(traces.File(recent + "\\Holiday.lnk", 400));
    std::string pinned = recent + "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms";
    std::string custom = recent + "\\CustomDestinations\\28c8b86deab549a1.customDestinations-ms";
    ASSERT_TRUE(traces.File(pinned, 9000));
    ASSERT_TRUE(traces.File(custom, 8000));

    EraseTally tally;
    DeleteRecentDocuments(tally);
    EXPECT_EQ(tally.filesErased, 2u);
    EXPECT_EQ(tally.bytesReleased, 1000u);
    EXPECT_FALSE(PlantedTraces::FileExists(recent + "\\Holiday.lnk"));
    EXPECT_TRUE(PlantedTraces::FileExists(pinned));
    EXPECT_TRUE(PlantedTraces::FileExists(custom));
}

class CleanersUserFolder : public SandboxTest {};

TEST_F(CleanersUserFolder, ProtectedFolderAndItsParentsStayWhole)
{
    WriteFile("profile\\canary.txt", "must stay");
    WriteFile("profile\\AppData\\canary.txt", "must stay");
    ProtectedFolders protectedFolders({PathOf("profile\\AppData")});
    EraseTally tally;
    EmptyUserFolder(PathOf("profile\\AppData"), true, tally, protectedFolders);
    EmptyUserFolder(PathOf("profile"), true, tally, protectedFolders);
    EXPECT_TRUE(Exists("profile\\canary.txt"));
    EXPECT_TRUE(Exists("profile\\AppData\\canary.txt"));
    EXPECT_EQ(tally.filesErased, 0u);
}

TEST_F(CleanersUserFolder, FolderBelowAProtectedOneIsEmptied)
{
    WriteFile("profile\\AppData\\Temp\\a.tmp", "12");
    WriteFile("profile\\AppData\\Temp\\sub\\b.tmp", "345");
    ProtectedFolders protectedFolders({PathOf("profile\\AppData")});
    EraseTally tally;
    EmptyUserFolder(PathOf("profile\\AppData\\Temp"), true, tally, protectedFolders);
    EXPECT_EQ(tally.filesErased, 2u);
    EXPECT_EQ(tally.bytesReleased, 5u);
    EXPECT_TRUE(Exists("profile\\AppData\\Temp"));
}

TEST_F(CleanersUserFolder, WithoutRecursionSubfoldersStay)
{
    WriteFile("folder\\a.lnk", "1");
    WriteFile("folder\\sub\\b.lnk", "22");
    EraseTally tally;
    EmptyUserFolder(PathOf("folder"), false, tally, ProtectedFolders({}));
    EXPECT_EQ(tally.filesErased, 1u);
    EXPECT_TRUE(Exists("folder\\sub\\b.lnk"));
}

} // namespace
