#include "cli/RunReport.h"
#include "engine/cleaners/BuiltInCleaners.h"
#include "engine/cleaners/FolderCleaners.h"
#include "engine/CommandExecutor.h"
#include "engine/files/FolderLocations.h"
#include "engine/files/FolderWalk.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/cli/TreeSnapshot.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/support/PlantedTraces.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

bool operator==(const FileEntry& a, const FileEntry& b)
{
    return a.path == b.path && a.size == b.size;
}
bool operator==(const RegistryEntry& a, const RegistryEntry& b)
{
    return a.path == b.path && a.isKey == b.isKey;
}

namespace {

std::vector<std::string> FailedPaths(const ItemReport& report)
{
    std::vector<std::string> paths;
    for (const Failure& failure : report.failures)
        paths.push_back(failure.path);
    return paths;
}

// Same entries in the same order, same counts.
void ExpectSameReach(const ItemReport& preview, const ItemReport& erase)
{
    EXPECT_EQ(preview.files, erase.files);
    EXPECT_EQ(preview.folderLinks, erase.folderLinks);
    EXPECT_EQ(preview.registryEntries, erase.registryEntries);
    EXPECT_EQ(FailedPaths(preview), FailedPaths(erase));
    EXPECT_EQ(preview.refused, erase.refused);
    EXPECT_EQ(preview.uncounted, erase.uncounted);
    EXPECT_EQ(preview.tally.filesErased, erase.tally.filesErased);
    EXPECT_EQ(preview.tally.bytesReleased, erase.tally.bytesReleased);
    EXPECT_EQ(preview.tally.registryEntriesErased, erase.tally.registryEntriesErased);
}

bool Listed(const ItemReport& report, const std::string& path)
{
    return std::any_of(report.files.begin(), report.files.end(),
                       [&](const FileEntry& f) { return f.path == path; });
}

// One item run through the executor twice on the same sandbox tree: a preview, which must leave the tree
// and the scratch key as they were, then an erase, which must reach exactly what the preview named.
class PreviewMatchesErase : public SandboxTest {
protected:
    ItemReport Run(EraseMode mode, const std::string& command,
                   const std::vector<std::string>& parameters) const
    {
        EraseItem item;
        item.command = command;
        item.parameters = parameters;
        item.loaded = true;
        ItemReport report;
        ItemRecorder recorder(report);
        CommandExecutor({PathOf("programs\\"), ProtectedFolders({PathOf("profile")})}, BuiltInCleaners(),
                        EraseOptions{mode, &recorder})
            .Execute(item);
        report.tally = item.tally;
        return report;
    }

    ItemReport PreviewThenErase(const std::string& command, const std::vector<std::string>& parameters) const
    {
        auto files = FolderSnapshot(Folder());
        auto keys = KeySnapshot(HKEY_CURRENT_USER, ScratchKey());
        ItemReport preview = Run(EraseMode::Preview, command, parameters);
        EXPECT_EQ(FolderSnapshot(Folder()), files) << "the preview changed the disk";
        EXPECT_EQ(KeySnapshot(HKEY_CURRENT_USER, ScratchKey()), keys) << "the preview changed the registry";
        ItemReport erase = Run(EraseMode::Erase, command, parameters);
        ExpectSameReach(preview, erase);
        return erase;
    }

    UniqueHandle Hold(const std::string& relative, DWORD sharing = FILE_SHARE_READ) const
    {
        UniqueHandle file(CreateFileW(ToExtendedPath(PathOf(relative)).c_str(), GENERIC_READ, sharing,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(file) << relative;
        return file;
    }
};

TEST_F(PreviewMatchesErase, FilesFoldersAndPatternsWithTheirSizes)
{
    WriteFile("tree\\a.tmp", std::string(100, 'a'));
    WriteFile("tree\\keep.txt", "keep");
    WriteFile("tree\\sub\\b.tmp", std::string(2000, 'b'));
    WriteFile("tree\\sub.tmp\\c.tmp", "ccc");
    WriteFile("tree\\sub.tmp\\other.txt", "o");
    WriteFile("whole\\x", "xx");
    WriteFile("whole\\deep\\er\\y", std::string(5000, 'y'));
    ASSERT_TRUE(SetFileAttributesW(ToExtendedPath(PathOf("whole\\x")).c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    ItemReport pattern = PreviewThenErase("delete-file", {PathOf("tree\\*.tmp")});
    // Only subfolders whose names match are entered.
    EXPECT_EQ(pattern.tally.filesErased, 2u);
    EXPECT_EQ(pattern.tally.bytesReleased, 103u);
    EXPECT_TRUE(Listed(pattern, PathOf("tree\\sub.tmp\\c.tmp")));
    EXPECT_TRUE(Exists("tree\\sub\\b.tmp"));
    EXPECT_TRUE(Exists("tree\\keep.txt"));
    EXPECT_TRUE(Exists("tree\\sub.tmp\\other.txt"));

    ItemReport whole = PreviewThenErase("delete-directory", {PathOf("whole")});
    EXPECT_EQ(whole.tally.filesErased, 2u);
    EXPECT_EQ(whole.tally.bytesReleased, 5002u);
    EXPECT_FALSE(Exists("whole\\x"));
    EXPECT_FALSE(Exists("whole\\deep"));
}

TEST_F(PreviewMatchesErase, RegistryKeysAndValues)
{
    std::string key = "HKEY_CURRENT_USER\\" + ScratchKey();
    WriteStringForTest(ScratchKey() + "\\tree\\a\\b", "v", "1");
    WriteStringForTest(ScratchKey() + "\\tree", "w", "2");
    WriteStringForTest(ScratchKey() + "\\values", "one", "1");
    WriteStringForTest(ScratchKey() + "\\values", "two", "2");
    WriteStringForTest(ScratchKey() + "\\named", "this", "1");
    WriteStringForTest(ScratchKey() + "\\named", "that", "2");

    ItemReport keys = PreviewThenErase("delete-register-key", {key + "\\tree", key + "\\missing"});
    EXPECT_EQ(keys.tally.registryEntriesErased, 1u);
    ASSERT_EQ(keys.registryEntries.size(), 1u);
    EXPECT_TRUE(keys.registryEntries[0].isKey);
    EXPECT_TRUE(keys.failures.empty()) << "a key that is not there is no failure";
    EXPECT_FALSE(KeyExistsForTest(ScratchKey() + "\\tree"));

    ItemReport values = PreviewThenErase("delete-register-value",
                                         {key + "\\values\\*", key + "\\named\\this", key + "\\named\\gone"});
    EXPECT_EQ(values.tally.registryEntriesErased, 3u);
    EXPECT_EQ(values.registryEntries.size(), 3u);
    EXPECT_EQ(ValueNamesForTest(ScratchKey() + "\\named"), std::vector<std::string>{"that"});
    EXPECT_TRUE(ValueNamesForTest(ScratchKey() + "\\values").empty());
}

TEST_F(PreviewMatchesErase, LinkInsideTheTargetIsNamedButNeverFollowed)
{
    WriteFile("outside\\precious.txt", "precious");
    WriteFile("outside\\sub\\more.txt", "more");
    WriteFile("target\\own.tmp", "123");
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("target\\link"), PathOf("outside")));
    // Under Wine a Unix link to a file lists as a plain file; deleting it by name would delete the target.
    ASSERT_TRUE(MakeFileLinkForTest(PathOf("target\\file link.txt"), PathOf("outside\\precious.txt")));

    ItemReport report = PreviewThenErase("delete-directory", {PathOf("target")});
    EXPECT_EQ(report.tally.filesErased, 1u);
    EXPECT_EQ(report.tally.bytesReleased, 3u);
    std::vector<std::string> links = report.folderLinks;
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (std::vector<std::string>{PathOf("target\\file link.txt"), PathOf("target\\link")}));
    EXPECT_EQ(ReadFile("outside\\precious.txt"), "precious");
    EXPECT_EQ(ReadFile("outside\\sub\\more.txt"), "more");
    RemoveFolderLinkForTest(PathOf("target\\link"));
    RemoveFileLinkForTest(PathOf("target\\file link.txt"));
}

TEST_F(PreviewMatchesErase, RefusedTargetsAreRefusedInBoth)
{
    WriteFile("profile\\own.txt", "mine");
    WriteFile("profile\\AppData\\x.tmp", "x");
    ItemReport report = PreviewThenErase(
        "delete-directory", {PathOf("profile"), PathOf("profile\\AppData\\..\\..\\profile"), Folder()});
    EXPECT_EQ(report.refused.size(), 3u);
    EXPECT_EQ(report.tally.filesErased, 0u);
    EXPECT_TRUE(Exists("profile\\own.txt"));

    ItemReport patterns = PreviewThenErase("delete-file", {PathOf("profile\\*.txt")});
    EXPECT_EQ(patterns.refused, std::vector<std::string>{PathOf("profile\\")});
    EXPECT_TRUE(Exists("profile\\own.txt"));
}

TEST_F(PreviewMatchesErase, ProtectedKeysAreRefusedAndKeysBelowThemGo)
{
    const std::string below = "Software\\Microsoft\\Windows\\CurrentVersion\\" + ScratchKey().substr(9);
    PlantedTraces planted;
    ASSERT_TRUE(planted.Value(HKEY_CURRENT_USER, below + "\\MRU", "a", "1"));
    ASSERT_TRUE(planted.Value(HKEY_CURRENT_USER, below + "\\MRU", "b", "2"));
    ASSERT_TRUE(planted.Key(HKEY_CURRENT_USER, below + "\\Gone\\deep"));
    WriteStringForTest(ScratchKey(), "canary", "1");
    const std::vector<std::string> refused = {"HKEY_CURRENT_USER\\Software", "HKEY_LOCAL_MACHINE\\SOFTWARE\\",
                                              "HKEY_USERS\\.DEFAULT"};

    std::vector<std::string> keyPaths = refused;
    keyPaths.push_back("HKEY_CURRENT_USER\\" + below + "\\Gone");
    ItemReport keys = PreviewThenErase("delete-register-key", keyPaths);
    EXPECT_EQ(keys.refused, refused);
    EXPECT_EQ(keys.tally.registryEntriesErased, 1u);
    EXPECT_FALSE(KeyExistsForTest(below + "\\Gone"));
    EXPECT_EQ(ReadStringForTest(ScratchKey(), "canary"), "1");
    EXPECT_TRUE(PlantedTraces::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft"));

    std::string everyValue = "HKEY_CURRENT_USER\\" + below + "\\MRU\\*";
    ItemReport values =
        PreviewThenErase("delete-register-value", {"HKEY_CURRENT_USER\\Software\\*", everyValue});
    EXPECT_EQ(values.refused, std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\*"});
    EXPECT_EQ(values.tally.registryEntriesErased, 2u);
    EXPECT_TRUE(ValueNamesForTest(below + "\\MRU").empty());
}

TEST_F(PreviewMatchesErase, NonAnsiAndLongNames)
{
    const std::string names[] = {"日本語のファイル.txt", "😀 emoji.dat", "é à ü.txt", "中文\\文件"};
    for (const std::string& name : names)
        WriteFile("target\\" + name, "12");
    std::string deep = "target";
    for (int i = 0; i < 4; ++i)
        deep += "\\" + std::string(70, static_cast<char>('a' + i));
    std::string longFile = deep + "\\" + std::string(100, 'f') + ".txt";
    ASSERT_GT(PathOf(longFile).size(), size_t(MAX_PATH));
    WriteFile(longFile, "1234");

    ItemReport report = PreviewThenErase("delete-directory", {PathOf("target")});
    EXPECT_EQ(report.tally.filesErased, 5u);
    EXPECT_EQ(report.tally.bytesReleased, 12u);
    EXPECT_TRUE(Listed(report, PathOf(longFile)));
    EXPECT_TRUE(Listed(report, PathOf("target\\😀 emoji.dat")));
    EXPECT_FALSE(Exists(longFile));
}

// A folder wildcard reaches a folder whose name ends in a dot by that very name, not the namesake that a
// plain path would make of it; registry names holding a NUL go whole. The preview names all of them.
TEST_F(PreviewMatchesErase, OddNamesAreReachedAsTheyAre)
{
    WriteFile("profiles\\p\\cache\\own", "12");
    std::wstring odd = ToExtendedPath(PathOf("profiles")) + L"\\p.";
    ASSERT_TRUE(CreateDirectoryW(odd.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((odd + L"\\cache").c_str(), nullptr));
    ASSERT_TRUE(UniqueHandle(
        CreateFileW((odd + L"\\cache\\dot.").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    ItemReport files = PreviewThenErase("delete-directory", {PathOf("profiles\\*\\cache")});
    EXPECT_EQ(files.tally.filesErased, 2u);
    EXPECT_TRUE(Listed(files, PathOf("profiles\\p.\\cache\\dot.")));
    EXPECT_TRUE(Listed(files, PathOf("profiles\\p\\cache\\own")));
    EXPECT_TRUE(files.failures.empty());
    EXPECT_EQ(NamesInFolder(odd + L"\\cache").size(), 2u) << "only . and .. are left";

    using namespace std::string_view_literals;
    ASSERT_TRUE(MakeCountedKeyForTest(ScratchKey() + "\\tree", L"a\0b"sv));
    ASSERT_TRUE(SetCountedValueForTest(ScratchKey() + "\\values", L"v\0w"sv));
    std::string key = "HKEY_CURRENT_USER\\" + ScratchKey();
    EXPECT_EQ(PreviewThenErase("delete-register-key", {key + "\\tree"}).tally.registryEntriesErased, 1u);
    EXPECT_EQ(PreviewThenErase("delete-register-value", {key + "\\values\\*"}).tally.registryEntriesErased,
              1u);
    EXPECT_FALSE(KeyExistsForTest(ScratchKey() + "\\tree"));
    EXPECT_TRUE(ValueNamesForTest(ScratchKey() + "\\values").empty());
}

TEST_F(PreviewMatchesErase, FileHeldOpenFailsInBothAndIsNamed)
{
    WriteFile("target\\busy.dat", "1234567890");
    WriteFile("target\\free.dat", "12");
    WriteFile("target\\shared.dat", "123");
    UniqueHandle busy = Hold("target\\busy.dat");
    // Goes only where the file system can drop the name at once; in both or in neither.
    UniqueHandle shared = Hold("target\\shared.dat", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);

    ItemReport report = PreviewThenErase("delete-directory", {PathOf("target")});
    bool sharedGone = !Exists("target\\shared.dat");
    EXPECT_EQ(report.tally.filesErased, sharedGone ? 2u : 1u);
    std::vector<std::string> failed = FailedPaths(report);
    std::sort(failed.begin(), failed.end());
    std::vector<std::string> expected = {PathOf("target\\busy.dat")};
    if (!sharedGone)
        expected.push_back(PathOf("target\\shared.dat"));
    ASSERT_EQ(failed, expected);
    EXPECT_FALSE(report.failures[0].reason.empty());
    EXPECT_TRUE(Exists("target\\busy.dat"));
}

TEST_F(PreviewMatchesErase, PreviewStartsNoProgramAndSaysItsCountIsUnknown)
{
    MakeFolder("programs");
    ASSERT_TRUE(CopyFileForTest(TestProgramFolder() + "record_writer.exe", PathOf("programs\\writer.exe")));
    ItemReport report = Run(EraseMode::Preview, "run", {"writer.exe"});
    EXPECT_FALSE(Exists("programs\\writer.seen"));
    ASSERT_EQ(report.uncounted.size(), 1u);
    EXPECT_NE(report.uncounted[0].find("writer.exe"), std::string::npos);

    Run(EraseMode::Erase, "run", {"writer.exe"});
    EXPECT_TRUE(Exists("programs\\writer.seen"));
}

TEST_F(PreviewMatchesErase, UncountableCleanersSaySoAndTheBrowserCacheIsCountedOnce)
{
    std::string cache = SpecialFolderFromIdList(CSIDL_INTERNET_CACHE);
    ASSERT_FALSE(cache.empty());
    EraseTally emptied;
    DeleteInternetCache(emptied);
    PlantedTraces traces;
    ASSERT_TRUE(traces.File(cache + "\\page.htm", 300));
    ASSERT_TRUE(traces.File(cache + "\\sub\\image.png", 40));

    ItemReport report =
        PreviewThenErase("advance", {"delete-ie-cache", "delete-ie-history", "delete-ie-auto-complete-form"});
    EXPECT_EQ(report.tally.filesErased, 2u);
    EXPECT_EQ(report.tally.bytesReleased, 340u);
    EXPECT_EQ(report.uncounted.size(), 2u);
}

} // namespace
