#include "engine/files/FileSystemEraser.h"
#include "engine/files/FolderWalk.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/engine/HeardFromCleaner.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

class FileSystemEraserTest : public SandboxTest {
protected:
    void Erase(const std::string& relativeFolder, const std::string& pattern = "*.*", bool recurse = true)
    {
        DeleteInFolder(PathOf(relativeFolder), pattern, recurse, files_, bytes_);
    }

    void EraseByPattern(const std::string& relativePath)
    {
        DeleteFilesByPattern(PathOf(relativePath), true, files_, bytes_);
    }

    // The names a pattern takes from a folder of the given files.
    std::vector<std::string> Taken(const std::string& pattern, const std::vector<std::string>& names)
    {
        RemoveTreeForTest(PathOf("names"));
        for (const std::string& name : names)
            WriteFile("names\\" + name, "1");
        EraseByPattern("names\\" + pattern);
        std::vector<std::string> taken;
        for (const std::string& name : names) {
            if (!Exists("names\\" + name))
                taken.push_back(name);
        }
        return taken;
    }

    void SetAttributes(const std::string& relative, DWORD attributes) const
    {
        ASSERT_TRUE(SetFileAttributesW(ToExtendedPath(PathOf(relative)).c_str(), attributes));
    }

    // Opens a file without sharing, so that nobody can delete it while the handle lives.
    UniqueHandle Hold(const std::string& relative) const
    {
        UniqueHandle file(CreateFileW(ToExtendedPath(PathOf(relative)).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file) << relative;
        return file;
    }

    uint64_t files_ = 0;
    uint64_t bytes_ = 0;
};

TEST_F(FileSystemEraserTest, DirectoryLosesEverythingInsideButStays)
{
    WriteFile("target\\a.txt", "12345");
    WriteFile("target\\noext", "123");
    WriteFile("target\\sub\\b.dat", "1234567");
    WriteFile("target\\sub\\deeper\\c", "1");
    MakeFolder("target\\empty");
    WriteFile("beside.txt", "canary");

    Erase("target");
    EXPECT_EQ(files_, 4u);
    EXPECT_EQ(bytes_, 16u);
    EXPECT_TRUE(Exists("target"));
    EXPECT_FALSE(Exists("target\\sub"));
    EXPECT_FALSE(Exists("target\\empty"));
    EXPECT_FALSE(Exists("target\\noext"));
    EXPECT_EQ(ReadFile("beside.txt"), "canary");

    Erase("no such folder");
    EXPECT_EQ(files_, 4u);
}

TEST_F(FileSystemEraserTest, OnePathNamesOneFileAndATrailingBackslashNothing)
{
    WriteFile("target\\one.txt", "12345678");
    WriteFile("target\\one.txt.bak", "1");
    WriteFile("target\\two.txt", "1");

    EraseByPattern("target\\");
    EXPECT_EQ(files_, 0u);
    EXPECT_TRUE(Exists("target\\one.txt"));

    EraseByPattern("target\\one.txt");
    EXPECT_EQ(files_, 1u);
    EXPECT_EQ(bytes_, 8u);
    EXPECT_FALSE(Exists("target\\one.txt"));
    EXPECT_TRUE(Exists("target\\one.txt.bak"));
    EXPECT_TRUE(Exists("target\\two.txt"));
}

TEST_F(FileSystemEraserTest, NarrowPatternEntersOnlyMatchingSubfolders)
{
    WriteFile("target\\a.tmp", "1");
    WriteFile("target\\b.txt", "1");
    WriteFile("target\\keep\\x.tmp", "1");
    WriteFile("target\\cache.tmp\\y.tmp", "12");
    WriteFile("target\\cache.tmp\\z.txt", "1");
    WriteFile("target\\only.tmp\\w.tmp", "123");
    MakeFolder("target\\empty.tmp");

    EraseByPattern("target\\*.tmp");
    EXPECT_EQ(files_, 3u);
    EXPECT_EQ(bytes_, 6u);
    EXPECT_FALSE(Exists("target\\a.tmp"));
    EXPECT_TRUE(Exists("target\\b.txt"));
    EXPECT_TRUE(Exists("target\\keep\\x.tmp"));
    EXPECT_FALSE(Exists("target\\cache.tmp\\y.tmp"));
    EXPECT_TRUE(Exists("target\\cache.tmp\\z.txt"));
    EXPECT_FALSE(Exists("target\\only.tmp"));
    EXPECT_FALSE(Exists("target\\empty.tmp"));
}

TEST_F(FileSystemEraserTest, WithoutRecursionSubfoldersAreLeft)
{
    WriteFile("target\\a.txt", "1");
    WriteFile("target\\sub\\b.txt", "1");
    MakeFolder("target\\empty");
    Erase("target", "*.*", false);
    EXPECT_EQ(files_, 1u);
    EXPECT_TRUE(Exists("target\\sub\\b.txt"));
    EXPECT_TRUE(Exists("target\\empty"));
}

TEST_F(FileSystemEraserTest, ReadOnlyHiddenAndSystemFilesAreDeletedAndCounted)
{
    WriteFile("target\\read-only", "1");
    WriteFile("target\\hidden", "12");
    WriteFile("target\\system", "123");
    WriteFile("target\\all", "1234");
    SetAttributes("target\\read-only", FILE_ATTRIBUTE_READONLY);
    SetAttributes("target\\hidden", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes("target\\system", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes("target\\all", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteFile("read-only canary", "canary");
    SetAttributes("read-only canary", FILE_ATTRIBUTE_READONLY);
    Erase("target");
    EXPECT_EQ(files_, 4u);
    EXPECT_EQ(bytes_, 10u);
    EXPECT_FALSE(Exists("target\\all"));
    EXPECT_EQ(ReadFile("read-only canary"), "canary");
    EXPECT_TRUE(GetFileAttributesW(ToExtendedPath(PathOf("read-only canary")).c_str()) &
                FILE_ATTRIBUTE_READONLY);
    SetAttributes("read-only canary", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSystemEraserTest, FilesInUseStayUncountedWithTheFoldersHoldingThem)
{
    WriteFile("target\\busy.txt", "1234567890");
    WriteFile("target\\free.txt", "12");
    WriteFile("target\\sub\\busy.dat", "1234567890");
    WriteFile("target\\sub\\free.dat", "123");
    WriteFile("target\\sub\\inner\\free", "1");
    UniqueHandle busy = Hold("target\\busy.txt");
    UniqueHandle busyInSub = Hold("target\\sub\\busy.dat");

    Erase("target");
    EXPECT_EQ(files_, 3u);
    EXPECT_EQ(bytes_, 6u);
    EXPECT_TRUE(Exists("target\\busy.txt"));
    EXPECT_TRUE(Exists("target\\sub\\busy.dat"));
    EXPECT_FALSE(Exists("target\\sub\\free.dat"));
    EXPECT_FALSE(Exists("target\\sub\\inner"));
}

// Files go many at a time: in a folder of more than one batch each is told once, and the one that is held
// stays, told as left, with no neighbour lost at a batch's edge.
TEST_F(FileSystemEraserTest, LargeFolderGoesWholeAndEachFileIsToldOnce)
{
    for (int i = 0; i < 600; ++i)
        WriteFile("target\\" + std::to_string(1000 + i) + ".tmp", "1");
    WriteFile("target\\sub\\inner.tmp", "12");
    for (int folder = 0; folder < 60; ++folder) // folders finished on both sides of a batch's edge
        WriteFile("target\\small\\" + std::to_string(folder) + "\\f.tmp", "");
    UniqueHandle busy = Hold("target\\1300.tmp");
    struct Heard final : SilentListener {
        void OnFile(const std::string& path, uint64_t) override { files.push_back(path); }
        void OnFailure(const std::string& path, const std::string&) override { failures.push_back(path); }
        void OnFilesHandled(uint64_t count, uint64_t) override { handled.push_back(count); }
        std::vector<std::string> files, failures;
        std::vector<uint64_t> handled;
    } heard;
    DeleteInFolder(PathOf("target"), "*.*", true, files_, bytes_, {EraseMode::Erase, &heard});
    EXPECT_EQ(files_, 660u);
    EXPECT_EQ(bytes_, 601u);
    ASSERT_EQ(heard.files.size(), 660u);
    EXPECT_EQ(std::set<std::string>(heard.files.begin(), heard.files.end()).size(), 660u);
    EXPECT_EQ(heard.failures, std::vector<std::string>{PathOf("target\\1300.tmp")});
    EXPECT_TRUE(Exists("target\\1300.tmp"));
    EXPECT_FALSE(Exists("target\\sub"));
    // A progress bar hears of the files batch by batch, long before the folder is done.
    EXPECT_GE(heard.handled.size(), 3u);
    EXPECT_EQ(std::accumulate(heard.handled.begin(), heard.handled.end(), uint64_t{0}), 661u);
    EXPECT_FALSE(Exists("target\\small"));
}

// Plug-ins are lower-cased on load; what is told reads as the disk holds it, also on a way through a link,
// which keeps its own name.
TEST_F(FileSystemEraserTest, PathsAreToldAsSpelledOnDisk)
{
    struct Heard final : SilentListener {
        void OnFile(const std::string& path, uint64_t) override { files.push_back(path); }
        std::vector<std::string> files;
    } heard;
    WriteFile("Real\\Cache_Data\\Entry.BIN", "1");
    DeleteInFolder(LowerCase(PathOf("real\\cache_data")), "*.*", true, files_, bytes_,
                   {EraseMode::Erase, &heard});
    EXPECT_EQ(heard.files, std::vector<std::string>{PathOf("Real\\Cache_Data\\Entry.BIN")});
    if (!MakeFolderLinkForTest(PathOf("Link"), PathOf("Real")))
        return;
    WriteFile("Real\\Cache_Data\\Two.BIN", "2");
    DeleteInFolder(LowerCase(PathOf("link\\cache_data")), "*.*", true, files_, bytes_,
                   {EraseMode::Erase, &heard});
    EXPECT_EQ(heard.files.back(), PathOf("Link\\Cache_Data\\Two.BIN"));
    RemoveFolderLinkForTest(PathOf("Link"));
}

// A holder that lets others delete the file would keep it, under a name pending deletion, until it lets
// go; such a file either goes now or fails, and counts only if it went.
TEST_F(FileSystemEraserTest, FileHeldWithDeleteSharingCountsOnlyIfItWent)
{
    struct Failures final : SilentListener {
        void OnFailure(const std::string& path, const std::string& reason) override
        {
            failed.push_back(path + ": " + reason);
        }
        std::vector<std::string> failed;
    } listener;
    WriteFile("target\\held.log", "1234567890");
    WriteFile("target\\free.log", "12");
    UniqueHandle held(CreateFileW(ToExtendedPath(PathOf("target\\held.log")).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    DeleteInFolder(PathOf("target"), "*", true, files_, bytes_, {EraseMode::Erase, &listener});
    bool gone = !Exists("target\\held.log");
    held.reset();
    EXPECT_FALSE(Exists("target\\free.log"));
    EXPECT_EQ(files_, gone ? 2u : 1u);
    EXPECT_EQ(bytes_, gone ? 12u : 2u);
    if (!gone) {
        ASSERT_EQ(listener.failed.size(), 1u);
        EXPECT_EQ(listener.failed[0].rfind(PathOf("target\\held.log"), 0), 0u) << listener.failed[0];
        EXPECT_EQ(ReadFile("target\\held.log"), "1234567890") << "no deletion left pending";
    }
}

// A read-only file that cannot be deleted keeps its flag as well as its contents.
TEST_F(FileSystemEraserTest, ReadOnlyFileInUseStaysReadOnlyAndUncounted)
{
    WriteFile("target\\busy", "1234");
    WriteFile("target\\free", "12");
    SetAttributes("target\\busy", FILE_ATTRIBUTE_READONLY);
    SetAttributes("target\\free", FILE_ATTRIBUTE_READONLY);
    {
        UniqueHandle busy = Hold("target\\busy");
        Erase("target");
    }
    EXPECT_EQ(files_, 1u);
    EXPECT_EQ(bytes_, 2u);
    EXPECT_EQ(ReadFile("target\\busy"), "1234");
    EXPECT_TRUE(GetFileAttributesW(ToExtendedPath(PathOf("target\\busy")).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetAttributes("target\\busy", FILE_ATTRIBUTE_NORMAL);
}

// An overwriting erase deletes nothing it could not write over first: a file another program holds, even
// with delete sharing that would let a plain erase take it, is left as it was and told; the preview says so
// beforehand, and counts the same.
TEST_F(FileSystemEraserTest, OverwritingEraseLeavesFilesInUseAndSaysSo)
{
    struct Failures final : SilentListener {
        void OnFailure(const std::string& path, const std::string& reason) override
        {
            failed.insert(path.substr(path.find_last_of('\\') + 1) + ": " + reason);
        }
        std::set<std::string> failed;
    };
    WriteFile("target\\busy.txt", "1234567890");
    WriteFile("target\\held.log", "abcdef");
    WriteFile("target\\free.txt", "12");
    SetAttributes("target\\free.txt", FILE_ATTRIBUTE_READONLY);
    WriteFile("target\\sub\\free.dat", "123");
    UniqueHandle busy = Hold("target\\busy.txt");
    UniqueHandle held(CreateFileW(ToExtendedPath(PathOf("target\\held.log")).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const std::set<std::string> expected = {"busy.txt: not overwritten: in use",
                                            "held.log: not overwritten: in use"};

    Failures previewed;
    EraseOptions preview{EraseMode::Preview, &previewed};
    preview.secureDeletion = true;
    DeleteInFolder(PathOf("target"), "*", true, files_, bytes_, preview);
    EXPECT_EQ(previewed.failed, expected);
    EXPECT_EQ(files_, 2u);

    Failures erased;
    EraseOptions erase{EraseMode::Erase, &erased};
    erase.secureDeletion = true;
    files_ = bytes_ = 0;
    DeleteInFolder(PathOf("target"), "*", true, files_, bytes_, erase);
    EXPECT_EQ(erased.failed, expected);
    EXPECT_EQ(files_, 2u);
    EXPECT_EQ(bytes_, 5u);
    busy.reset();
    held.reset();
    EXPECT_EQ(ReadFile("target\\busy.txt"), "1234567890");
    EXPECT_EQ(ReadFile("target\\held.log"), "abcdef");
    EXPECT_EQ(NamesInFolder(ToExtendedPath(PathOf("target"))),
              (std::unordered_set<std::wstring>{L".", L"..", L"busy.txt", L"held.log"}))
        << "nothing left under another name";
}

TEST_F(FileSystemEraserTest, CountersOnlyGrowPast32Bits)
{
    WriteFile("target\\a", std::string(32, 'x'));
    files_ = 5;
    bytes_ = 0xFFFFFFF0u;
    Erase("target");
    EXPECT_EQ(files_, 6u);
    EXPECT_EQ(bytes_, 0x100000010u);
}

TEST_F(FileSystemEraserTest, LinksAreRemovedWithoutEnteringThem)
{
    WriteFile("canary\\keep.txt", "canary");
    WriteFile("canary\\sub\\keep.dat", "canary");
    WriteFile("target\\own.txt", "123");
    MakeFolder("target\\sub");
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("target\\link"), PathOf("canary")));
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("target\\sub\\link"), PathOf("canary\\sub")));

    Erase("target");
    EXPECT_EQ(files_, 1u);
    EXPECT_EQ(bytes_, 3u);
    EXPECT_EQ(ReadFile("canary\\keep.txt"), "canary");
    EXPECT_EQ(ReadFile("canary\\sub\\keep.dat"), "canary");
    // RemoveDirectoryW removes a link; Wine cannot remove a Unix link that way and leaves it, still a link.
    for (const char* link : {"target\\link", "target\\sub\\link"}) {
        EXPECT_TRUE(!Exists(link) || IsLinkForTest(PathOf(link))) << link;
        RemoveFolderLinkForTest(PathOf(link));
    }
}

TEST_F(FileSystemEraserTest, EveryNameAndEveryLength)
{
    const std::string names[] = {"日本語のファイル.txt", "😀 emoji.dat", "é à ü.txt", "Ωμέγα", "中文\\文件"};
    for (const std::string& name : names)
        WriteFile("target\\" + name, "12");
    std::string deep = "target";
    for (int i = 0; i < 5; ++i)
        deep += "\\" + std::string(60, static_cast<char>('a' + i));
    std::string longFile = deep + "\\" + std::string(100, 'f') + ".txt";
    ASSERT_GT(PathOf(longFile).size(), 400u);
    WriteFile(longFile, "1234");
    WriteFile(deep + "\\ファイル 😀", "1");
    WriteFile("日本語のファイル.txt", "canary");

    Erase("target");
    EXPECT_EQ(files_, 7u);
    EXPECT_EQ(bytes_, 15u);
    EXPECT_FALSE(Exists("target\\" + std::string(60, 'a')));
    EXPECT_TRUE(Exists("target"));
    EXPECT_EQ(ReadFile("日本語のファイル.txt"), "canary");
}

// Win32 drops a final dot or blank from a name in a plain path: such files and folders are reached by
// the names the folder lists, and go.
TEST_F(FileSystemEraserTest, NamesEndingInADotOrABlankGoByTheirOwnNames)
{
    WriteFile("target\\dot", "namesake");
    std::wstring target = ToExtendedPath(PathOf("target")) + L"\\";
    ASSERT_TRUE(CreateDirectoryW((target + L"dir.").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target + L"sub ").c_str(), nullptr));
    for (const wchar_t* name : {L"dot.", L"blank ", L"dir.\\inner.", L"sub \\x "}) {
        UniqueHandle file(
            CreateFileW((target + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(file && ::WriteFile(file.get(), "12", 2, &written, nullptr)) << ToUtf8(name);
    }
    Erase("target");
    EXPECT_EQ(files_, 5u);
    EXPECT_EQ(bytes_, 16u);
    EXPECT_EQ(NamesInFolder(target.substr(0, target.size() - 1)).size(), 2u) << "only . and .. are left";
}

// A link whose name is its namesake's with a final dot is a link, never the namesake, which is kept here.
TEST_F(FileSystemEraserTest, LinkNamedLikeItsTargetLeavesTheTarget)
{
    WriteFile("target\\n", "namesake");
    ASSERT_TRUE(MakeFileLinkForTest(PathOf("target\\n."), PathOf("target\\n")));
    struct KeepNamesake final : EntryFilter {
        bool Keeps(const std::string& path, uint64_t) const override { return path.ends_with("\\n"); }
    } keep;
    DeleteInFolder(PathOf("target"), "*", true, files_, bytes_, {EraseMode::Erase, nullptr, &keep});
    EXPECT_EQ(files_, 0u);
    EXPECT_EQ(ReadFile("target\\n"), "namesake");
    RemoveFileLinkForTest(PathOf("target\\n."));
}

// A name that Wine lists but cannot open (a Unix name holding a backslash) is told as left, with the
// folder that holds it; it counts nothing. Windows keeps names that are not valid UTF-16, which no UTF-8
// path can hold: they go by the names the folder lists (Wine cannot make them).
TEST_F(FileSystemEraserTest, ListedNamesThatDoNotOpenAreToldAsLeft)
{
    WriteFile("target\\plain", "12");
    MakeFolder("target\\sub");
    std::wstring odd = ToExtendedPath(PathOf("target")) + L"\\odd\xD800";
    bool oddMade = static_cast<bool>(
        UniqueHandle(CreateFileW(odd.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    bool unixMade = MakeUnixEntryForTest(PathOf("target"), "back\\slash") &&
                    MakeUnixEntryForTest(PathOf("target\\sub"), "a\\b") &&
                    MakeUnixEntryForTest(PathOf("target"), "dir\\x", true);
    HeardFromCleaner heard;
    for (EraseMode mode : {EraseMode::Preview, EraseMode::Erase}) {
        files_ = 0;
        heard.failures.clear();
        DeleteInFolder(PathOf("target"), "*", true, files_, bytes_, {mode, &heard});
        EXPECT_EQ(files_, oddMade ? 2u : 1u);
        EXPECT_EQ(heard.failures.size(), unixMade ? 3u : 0u);
        for (const std::string& failure : heard.failures)
            EXPECT_TRUE(failure.starts_with(PathOf("target\\back\\slash: ")) ||
                        failure.starts_with(PathOf("target\\sub\\a\\b: ")) ||
                        failure.starts_with(PathOf("target\\dir\\x\\: ")))
                << failure;
    }
    EXPECT_FALSE(Exists("target\\plain"));
    EXPECT_EQ(GetFileAttributesW(odd.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveUnixEntryForTest(PathOf("target\\sub"), "a\\b");
    RemoveUnixEntryForTest(PathOf("target"), "back\\slash");
    RemoveUnixEntryForTest(PathOf("target"), "dir\\x", true);
}

TEST_F(FileSystemEraserTest, ThousandFoldersDeepTreeGoesCompletely)
{
    // Built a level at a time: the sandbox's helpers would create every parent again for each file.
    std::wstring path = ToExtendedPath(PathOf("target"));
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    auto writeFile = [&path](const wchar_t* name, const char* bytes) {
        UniqueHandle file(
            CreateFileW((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(file &&
                    ::WriteFile(file.get(), bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr));
    };
    for (int depth = 0; depth < 1000; ++depth) {
        path += L"\\d";
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << depth;
        if (depth % 250 == 0)
            writeFile(L"\\f", "1");
    }
    writeFile(L"\\bottom", "12");
    WriteFile("beside\\canary", "canary");

    Erase("target");
    EXPECT_EQ(files_, 5u);
    EXPECT_EQ(bytes_, 6u);
    EXPECT_FALSE(Exists("target\\d"));
    EXPECT_TRUE(Exists("target"));
    EXPECT_EQ(ReadFile("beside\\canary"), "canary");
}

TEST_F(FileSystemEraserTest, NamePatternsFollowTheFileNameRules)
{
    const std::vector<std::string> names = {"noext", "a.txt", "b.tar.gz", "readme", "readme.md", "page.html"};
    using Names = std::vector<std::string>;
    EXPECT_EQ(Taken("*.", names), (Names{"noext", "readme"}));
    EXPECT_EQ(Taken("*.*", names), names);
    EXPECT_EQ(Taken("*", names), names);
    EXPECT_EQ(Taken("readme.*", names), (Names{"readme", "readme.md"}));
    EXPECT_EQ(Taken("*.TXT", names), Names{"a.txt"});
    EXPECT_EQ(Taken("*.htm", names), Names{}) << "never through a short name";
    EXPECT_EQ(Taken("?.*", names), (Names{"a.txt", "b.tar.gz"}));
}

// Asks the walk to stop once it has been handed a given number of files.
class StoppingVisitor final : public FolderVisitor {
public:
    explicit StoppingVisitor(int stopAfter) : stopAfter_(stopAfter) {}

    void OnFile(const std::wstring&, const WIN32_FIND_DATAW&) override { ++files; }
    void OnFolderLink(const std::wstring&) override {}
    void OnFolderDone(const std::wstring&, bool) override { ++foldersDone; }
    void OnUnlistable(const std::wstring&, unsigned long) override {}
    bool StopRequested() const override { return files >= stopAfter_; }

    int files = 0;
    int foldersDone = 0;

private:
    int stopAfter_;
};

TEST_F(FileSystemEraserTest, StoppedWalkEndsBeforeItsNextEntryAndLeavesItsSubfolders)
{
    for (const char* name : {"0.txt", "1.txt", "2.txt", "3.txt", "4.txt"})
        WriteFile(std::string("tree\\inner\\") + name, "x");
    StoppingVisitor visitor(2);
    WalkFolder(PathOf("tree"), "*.*", true, visitor);
    EXPECT_EQ(visitor.files, 2);
    EXPECT_EQ(visitor.foldersDone, 1) << "the subfolder it was in is reported done";
}

// Stops the work from its listener at the first file it hears, as a user pressing Erase stops a preview.
class StopAtFirstFile final : public SilentListener {
public:
    void OnFile(const std::string&, uint64_t) override
    {
        ++heard;
        stop = true;
    }

    std::atomic<bool> stop = false;
    uint32_t heard = 0;
};

TEST_F(FileSystemEraserTest, StoppedPreviewStopsWithinAFolderAndReportsWhatItCounted)
{
    for (const char* folder : {"a", "b", "c"}) {
        for (int i = 0; i < 4; ++i)
            WriteFile("tree\\" + std::string(folder) + "\\" + std::to_string(i) + ".txt", "12345");
    }
    StopAtFirstFile listener;
    DeleteInFolder(PathOf("tree"), "*.*", true, files_, bytes_,
                   EraseOptions{EraseMode::Preview, &listener, nullptr, &listener.stop});
    // Files are told folder by folder: the first folder's four, then the walk ends.
    EXPECT_EQ(listener.heard, 4u);
    EXPECT_EQ(files_, listener.heard);
    EXPECT_EQ(bytes_, 4u * 5);
    EXPECT_TRUE(Exists("tree\\c\\3.txt"));
}

TEST(DriveRoots, ListEveryLogicalDrive)
{
    std::vector<std::string> expected;
    DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (drives & (1u << (letter - 'A')))
            expected.push_back(std::string(1, letter) + ":\\");
    }
    EXPECT_EQ(GetDriveRoots(), expected);
}

} // namespace
