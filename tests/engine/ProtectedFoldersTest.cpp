#include "engine/files/ProtectedFolders.h"
#include "engine/files/ShellFolders.h"
#include "framework/Utf8.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/support/CurrentFolder.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <string>

namespace {

std::string Environment(const wchar_t* name)
{
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length && length < 32768 ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string ParentOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// Only asks; nothing here deletes anything.
TEST(ProtectedFoldersOfThisSystem, CoverTheSystemsFoldersTheirParentsAndEveryRoot)
{
    ProtectedFolders folders = ProtectedFolders::OfThisSystem();
    std::string windows = Environment(L"windir");
    std::string appData = Environment(L"APPDATA");
    std::string profile = Environment(L"USERPROFILE");
    std::string programs = Environment(L"ProgramFiles");
    ASSERT_FALSE(windows.empty() || appData.empty() || profile.empty() || programs.empty());
    const std::string refused[] = {
        windows,
        windows + "\\",
        Upper(windows),
        windows + "\\system32",
        windows + "\\System32\\",
        windows + "\\system32\\..",
        windows + "\\System32\\drivers\\etc",
        windows + "\\SysWOW64\\config",
        windows + "\\WinSxS\\Temp",
        windows + "\\inf",
        windows + "\\Boot\\EFI",
        windows + "\\Fonts\\",
        windows + "\\temp\\..\\",
        "\\\\?\\" + windows,
        "\\\\.\\" + windows,
        windows.substr(0, 2) + "/" + windows.substr(3) + "/",
        appData,
        appData + "\\",
        profile,
        ParentOf(profile),
        ParentOf(appData),
        programs,
        Environment(L"ProgramFiles(x86)"),
        "C:\\",
        "C:",
        "c:\\\\",
        "S:\\",
        "",
        "\\",
        "\\\\server\\share",
        "\\\\server\\share\\",
        "\\\\?\\UNC\\server\\share\\",
        "\\\\?\\" + windows + "\\system32\\..",
        "\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\",
        "\\\\.\\PhysicalDrive0",
    };
    for (const std::string& folder : refused)
        EXPECT_TRUE(folders.Covers(folder)) << folder;

    wchar_t shortName[MAX_PATH];
    DWORD length = GetShortPathNameW(ToWide(programs).c_str(), shortName, MAX_PATH);
    if (length && length < MAX_PATH) {
        EXPECT_TRUE(folders.Covers(ToUtf8(std::wstring_view(shortName, length)))) << ToUtf8(shortName);
    }

    const std::string allowed[] = {windows + "\\temp",         windows + "\\Temp\\",
                                   windows + "\\Logs",         windows + "\\SoftwareDistribution\\Download",
                                   windows + "\\Prefetch",     appData + "\\Microsoft\\Windows\\Recent",
                                   profile + "\\Cookies",      "S:\\tests",
                                   "\\\\server\\share\\folder"};
    for (const std::string& folder : allowed)
        EXPECT_FALSE(folders.Covers(folder)) << folder;
}

// A TEMP variable or a plug-in path that names one of them would empty the user's own data.
TEST(ProtectedFoldersOfThisSystem, CoverEveryKnownFolderOfTheUsersAndTheMachinesDataNotWhatLiesBelow)
{
    ProtectedFolders folders = ProtectedFolders::OfThisSystem();
    for (const KNOWNFOLDERID* known :
         {&FOLDERID_Documents, &FOLDERID_Desktop, &FOLDERID_Downloads, &FOLDERID_Pictures, &FOLDERID_Music,
          &FOLDERID_Videos, &FOLDERID_Favorites, &FOLDERID_LocalAppData, &FOLDERID_LocalAppDataLow,
          &FOLDERID_ProgramData, &FOLDERID_Public, &FOLDERID_PublicDocuments, &FOLDERID_StartMenu,
          &FOLDERID_CommonStartMenu, &FOLDERID_Programs}) {
        std::string folder = KnownFolderPath(*known);
        ASSERT_FALSE(folder.empty());
        EXPECT_TRUE(folders.Covers(folder)) << folder;
        EXPECT_TRUE(folders.Covers(Upper(folder) + "\\")) << folder;
    }
    std::string local = KnownFolderPath(FOLDERID_LocalAppData);
    std::string roaming = KnownFolderPath(FOLDERID_RoamingAppData);
    std::string machine = KnownFolderPath(FOLDERID_ProgramData);
    for (const std::string& folder :
         {local + "\\Temp", roaming + "\\Microsoft\\Windows\\Recent",
          local + "\\Microsoft\\Windows\\INetCache", machine + "\\Microsoft\\Windows\\WER\\ReportArchive",
          KnownFolderPath(FOLDERID_Documents) + "\\Old"})
        EXPECT_FALSE(folders.Covers(folder)) << folder;
    // A file named one by one may go from a data root (IconCache.db from LocalAppData), never from the system.
    EXPECT_FALSE(folders.RefusesNamedFile(local));
    for (const std::string& folder : {KnownFolderPath(FOLDERID_System), std::string("C:\\")})
        EXPECT_TRUE(folders.RefusesNamedFile(folder)) << folder;

    std::string favorites = KnownFolderPath(FOLDERID_Favorites);
    EXPECT_FALSE(ProtectedFolders::OfThisSystemFor(FOLDERID_Favorites).Covers(favorites))
        << "the Favorites cleaner's own folder";
    EXPECT_TRUE(ProtectedFolders::OfThisSystemFor(FOLDERID_Favorites).Covers(machine));
}

class ProtectedFoldersTest : public SandboxTest {};

TEST_F(ProtectedFoldersTest, CompareFoldersAsTheFileSystemResolvesThem)
{
    MakeFolder("kept\\inside");
    MakeFolder("other");
    ProtectedFolders folders({PathOf("kept")});
    for (const std::string& folder :
         {PathOf("kept"), PathOf("KEPT\\"), Folder(), PathOf("kept\\inside\\.."), PathOf("other\\..\\kept")})
        EXPECT_TRUE(folders.Covers(folder)) << folder;
    for (const std::string& folder : {PathOf("kept\\inside"), PathOf("other"), PathOf("kept2")})
        EXPECT_FALSE(folders.Covers(folder)) << folder;

    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("other\\link"), PathOf("kept")));
    EXPECT_TRUE(folders.Covers(PathOf("other\\link")));
    EXPECT_TRUE(folders.Covers(PathOf("other\\link\\")));
    RemoveFolderLinkForTest(PathOf("other\\link"));

    CurrentFolderForTest current(PathOf("kept\\inside"));
    ASSERT_TRUE(current.entered());
    EXPECT_TRUE(folders.Covers(".."));
    EXPECT_TRUE(folders.Covers(".\\..\\.."));
    EXPECT_FALSE(folders.Covers("."));
    EXPECT_TRUE(folders.Covers("")) << "an empty folder is the current drive's root";
    EXPECT_TRUE(folders.Covers("\\"));
}

} // namespace
