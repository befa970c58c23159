#include "engine/ProtectedFolders.h"
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

    const std::string allowed[] = {windows + "\\temp",
                                   windows + "\\Temp\\",
                                   windows + "\\Logs",
                                   windows + "\\SoftwareDistribution\\Download",
                                   windows + "\\Prefetch",
                                   appData + "\\Microsoft",
                                   profile + "\\Cookies",
                                   "S:\\tests",
                                   "\\\\server\\share\\folder"};
    for (const std::string& folder : allowed)
        EXPECT_FALSE(folders.Covers(folder)) << folder;
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
