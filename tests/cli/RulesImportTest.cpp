#include "engine/files/ShellFolders.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "import/RulesImport.h"
#include "import/RulesTranslation.h"
#include "tests/cli/CliFixture.h"
#include "tests/cli/TreeSnapshot.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/Processes.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string Rules(const std::string& name)
{
    return TestProgramFolder() + "data\\rules\\" + name;
}

const char* const kSampleImported[] = {"zephyr-notes-cache",   "zephyr-notes-cache-97ecf36c",
                                       "quillby-recent-lists", "marmot-player-thumbnails",
                                       "otterpad-leftovers",   "badger-settings"};

class RulesImportTest : public CliFixture {
protected:
    std::string Plugin(const std::string& slug) const { return ReadFile("plugin\\winapp2-" + slug + ".aep"); }
    bool HasPlugin(const std::string& slug) const { return Exists("plugin\\winapp2-" + slug + ".aep"); }
    std::string Stored(const std::string& slug) const
    {
        std::string config = ReadFile("vestrel.conf");
        std::string open = "<winapp2-" + slug + ">";
        size_t at = config.find(open);
        return at == std::string::npos
                   ? ""
                   : config.substr(at + open.size(), config.find('<', at + 1) - at - open.size());
    }
};

TEST_F(RulesImportTest, EachUsableEntryBecomesAnUnselectedPluginAndEverySkipHasItsReason)
{
    AddItem("own.aep", "own", "Own Item");
    WriteConfig({{"own", true}});
    ASSERT_EQ(Cli({"import-winapp2", Rules("sample-rules.ini")}), kExitNotDeleted) << err;
    EXPECT_TRUE(Contains(out, "Imported: 6 new, 0 updated, 11 skipped.")) << out;
    for (const char* slug : kSampleImported) {
        EXPECT_TRUE(HasPlugin(slug)) << slug;
        EXPECT_EQ(Stored(slug), "false") << slug;
    }
    EXPECT_TRUE(Contains(ReadFile("vestrel.conf"), "<own>true</own>")) << "other items keep their selection";
    for (const char* reason :
         {"[Old Gadget]: DetectOS: not for Windows 7 to 11", "[Picture Viewer]: FileKey1: unknown variable",
          "[Windows Logs]: FileKey1: %windir% is or holds a protected folder",
          "[Whole Local Folder]: FileKey1: %localappdata% is or holds",
          "[Every Program]: FileKey1: %programfiles%\\*",
          "[Software Branch]: RegKey1: HKEY_CURRENT_USER\\Software is a protected registry key",
          "[No Pattern]: FileKey1 names no", "[Special Detection]: line 67: SpecialDetect is not supported",
          "[Detect Only]: nothing to erase", "[Zephyr Notes Cache]: an entry above has the same name",
          "[Broken Line]: line 78 is not key=value"})
        EXPECT_TRUE(Contains(out, std::string("Skipped ") + reason)) << reason;

    std::string zephyr = Plugin("zephyr-notes-cache");
    for (const char* part :
         {"<descript>Zephyr Notes Cache (Applications)</descript>", "<group>Applications</group>",
          "<type>application</type>", "<detect>HKEY_CURRENT_USER\\Software\\Zephyr Notes</detect>",
          "<detect>%localappdata%\\Zephyr Notes</detect>",
          "<warning>Also removes the drafts Zephyr Notes has not "
          "saved.</warning>",
          "<keep>%localappdata%\\Zephyr Notes\\Cache\\**\\keep.dat</keep>",
          "<keep>%localappdata%\\Zephyr Notes\\Cache\\Pinned</keep>",
          "<item recurse=\"all\">%localappdata%\\Zephyr Notes\\Cache\\*.*</item>",
          "<item recurse=\"none\">%appdata%\\Zephyr Notes\\Logs\\*.log</item>",
          "<item recurse=\"none\">%appdata%\\Zephyr Notes\\Logs\\*.txt</item>"})
        EXPECT_TRUE(Contains(zephyr, part)) << part;
    EXPECT_FALSE(Contains(zephyr, "<default>")) << "Default=True is ignored: the item is stored unticked";
    std::string quillby = Plugin("quillby-recent-lists");
    EXPECT_TRUE(Contains(quillby, "<descript>Quillby Recent Lists (Office Tools)</descript>"));
    EXPECT_TRUE(Contains(quillby, "<group>Office Tools</group>")) << "Section= names the group";
    EXPECT_TRUE(Contains(quillby, "<command>delete-register-key</command>"));
    EXPECT_TRUE(Contains(quillby, ">HKEY_CURRENT_USER\\Software\\Quillby\\Recent</item>"));
    EXPECT_TRUE(Contains(quillby, "<item "
                                  "command=\"delete-register-value\">HKEY_CURRENT_"
                                  "USER\\Software\\Quillby\\Settings\\LastFile</item>"));
    EXPECT_TRUE(Contains(Plugin("badger-settings"), "<keep>HKEY_CURRENT_USER\\Software\\Badger\\Keep</keep>"))
        << "a registry entry to keep inside what the entry erases";
    std::string marmot = Plugin("marmot-player-thumbnails");
    EXPECT_TRUE(Contains(marmot, "<parameters windows-version=\"6.1\"/>"))
        << "DetectOS=6.2| leaves out 6.1 only";
    EXPECT_FALSE(Contains(marmot, "windows-version=\"6.2\""));
    std::string crashes = Plugin("zephyr-notes-cache-97ecf36c");
    EXPECT_TRUE(Contains(crashes, "<parameters windows-version=\"6.3\">\r\n"))
        << "DetectOS=|6.3 works up to 8.1";
    EXPECT_TRUE(Contains(crashes, "<parameters windows-version=\"otherwise\"/>"))
        << "and does nothing on 10 and 11";
    EXPECT_TRUE(Contains(marmot, "%programfiles%\\Marmot Player\\Thumbs\\*.db</item>"));
    EXPECT_TRUE(Contains(marmot, "%programfilesx86%\\Marmot Player\\Thumbs\\*.db</item>"));
    EXPECT_TRUE(Contains(marmot, "command=\"delete-directory\" "
                                 "remove-self=\"true\">%programdata%\\Marmot\\*\\Temp<"));
    std::string otterpad = Plugin("otterpad-leftovers");
    for (const char* token : {"%temp%\\Otterpad", "%userhome%\\.otterpad", "%localappdatalow%\\Otterpad",
                              "%windir%\\Temp\\Otterpad", "%documents%\\Otterpad"})
        EXPECT_TRUE(Contains(otterpad, token)) << token;

    ASSERT_EQ(Cli({"list"}), kExitDone);
    EXPECT_FALSE(Contains(out, "[!]")) << out;
    EXPECT_TRUE(Contains(out, "[ ] winapp2-otterpad-leftovers"));
}

TEST_F(RulesImportTest, AgainUpdatesAndKeepsTicksAndReplaceRemovesWhatTheNewFileLacks)
{
    ASSERT_EQ(Cli({"import-winapp2", Rules("sample-rules.ini")}), kExitNotDeleted);
    std::string config = ReadFile("vestrel.conf");
    std::string unticked = "<winapp2-zephyr-notes-cache>false<";
    config.replace(config.find(unticked), unticked.size(), "<winapp2-zephyr-notes-cache>true<");
    WriteFile("vestrel.conf", config);

    ASSERT_EQ(Cli({"import-winapp2", Rules("second-rules.ini")}), kExitDone) << err;
    EXPECT_TRUE(Contains(out, "Imported: 1 new, 1 updated, 0 skipped.")) << out;
    EXPECT_EQ(Stored("zephyr-notes-cache"), "true") << "an updated item keeps the user's tick";
    EXPECT_EQ(Stored("newt-browser-history"), "false");
    EXPECT_TRUE(HasPlugin("quillby-recent-lists")) << "without --replace earlier imports stay";
    EXPECT_FALSE(Contains(Plugin("zephyr-notes-cache"), "Logs")) << "updated from the second file";

    ASSERT_EQ(Cli({"import-winapp2", "--replace", Rules("second-rules.ini")}), kExitDone) << err;
    EXPECT_TRUE(Contains(out, "Imported: 0 new, 2 updated, 0 skipped, 5 earlier imported removed.")) << out;
    for (const char* gone : {"zephyr-notes-cache-97ecf36c", "quillby-recent-lists",
                             "marmot-player-thumbnails", "otterpad-leftovers", "badger-settings"}) {
        EXPECT_FALSE(HasPlugin(gone)) << gone;
        EXPECT_NE(Stored(gone), "true") << gone << ": a stored line of a removed import stays unticked";
    }
    EXPECT_EQ(Stored("zephyr-notes-cache"), "true");
    EXPECT_FALSE(Exists("plugin\\winapp2-import.tmp")) << "the staging folder is gone";
}

// The imported plug-ins lying in the plug-in folder, where the loader reads them, by id.
std::set<std::string> VisibleImports(const std::string& folder)
{
    std::set<std::string> ids;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(ToWide(folder + "winapp2-*.aep").c_str(), &found));
    while (find) {
        std::string name = ToUtf8(found.cFileName);
        ids.insert(name.substr(0, name.size() - 4));
        if (!FindNextFileW(find.get(), &found))
            break;
    }
    return ids;
}

// Killed after any change on disk, an import leaves no plug-in that a missing line would tick, and the
// next start or import settles it: all of it done, or none of it.
TEST_F(RulesImportTest, AnImportStoppedAfterAnyStepTicksNothingAndIsSettledNextTime)
{
    ASSERT_EQ(Cli({"import-winapp2", Rules("sample-rules.ini")}), kExitNotDeleted);
    std::string ticked = ReadFile("vestrel.conf");
    std::string unticked = "<winapp2-zephyr-notes-cache>false<";
    ticked.replace(ticked.find(unticked), unticked.size(), "<winapp2-zephyr-notes-cache>true<");
    std::map<std::string, std::string> earlier;
    for (const std::string& id : VisibleImports(PathOf("plugin\\")))
        earlier[id] = ReadFile("plugin\\" + id + ".aep");
    const std::set<std::string> replaced = {"winapp2-zephyr-notes-cache", "winapp2-newt-browser-history"};

    auto expectNothingTicked = [&](int step, const char* when) {
        for (const std::string& id : VisibleImports(PathOf("plugin\\"))) {
            std::string slug = id.substr(8);
            EXPECT_EQ(Stored(slug), slug == "zephyr-notes-cache" ? "true" : "false")
                << id << " " << when << " step " << step << ": only the user's own tick";
        }
    };
    int finished = 0;
    int rolledBack = 0;
    for (int stopAt = 1;; ++stopAt) {
        RemoveTreeForTest(PathOf("plugin"));
        for (const auto& [id, text] : earlier)
            WriteFile("plugin\\" + id + ".aep", text);
        WriteFile("vestrel.conf", ticked);

        int steps = 0;
        RulesImportRequest request{
            Rules("second-rules.ini"),        PathOf("plugin\\"), PathOf("vestrel.conf"), 6.1, true,
            [&] { return ++steps == stopAt; }};
        RulesImportResult result = ImportRules(request, ImportChecks::OfThisSystem());
        if (result.error.empty()) {
            EXPECT_EQ(VisibleImports(PathOf("plugin\\")), replaced);
            EXPECT_GT(finished, 0);
            EXPECT_GT(rolledBack, 0);
            break;
        }
        ASSERT_EQ(result.error, "stopped") << "step " << stopAt;
        expectNothingTicked(stopAt, "when stopped at");
        // Every other time the window or vestrel-cli starts next, else another import.
        if (stopAt % 2) {
            ASSERT_EQ(Cli({"list"}), kExitDone) << err;
        } else {
            ASSERT_EQ(Cli({"import-winapp2", "--replace", Rules("second-rules.ini")}), kExitDone) << err;
        }
        EXPECT_FALSE(Exists("plugin\\winapp2-import.tmp")) << "step " << stopAt;
        expectNothingTicked(stopAt, "settled after");
        std::set<std::string> now = VisibleImports(PathOf("plugin\\"));
        if (now == replaced)
            ++finished;
        else if (now.size() == earlier.size())
            ++rolledBack;
        else
            ADD_FAILURE() << "half an import after step " << stopAt << ": " << now.size() << " plug-ins";
        ASSERT_LT(stopAt, 100);
    }
}

TEST_F(RulesImportTest, AFileThatIsNoRulesFileOrAFailedWriteChangesNothing)
{
    ASSERT_EQ(Cli({"import-winapp2", Rules("second-rules.ini")}), kExitDone);
    WriteFile("utf16.ini", std::string("\xFF\xFE[\0a\0]\0", 8));
    WriteFile("binary.ini", std::string("[a]\r\nFileKey1=x\0y", 17));
    WriteFile("long-line.ini", "[a]\r\nFileKey1=" + std::string(10 << 20, 'x'));
    WriteFile("no-entries.ini", "; only a comment\r\n");
    {
        UniqueHandle huge(CreateFileW(ToWide(PathOf("huge.ini")).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        size.QuadPart = 100ll << 20;
        ASSERT_TRUE(SetFilePointerEx(huge.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(huge.get()));
    }
    auto before = FolderSnapshot(PathOf("plugin"));
    std::string config = ReadFile("vestrel.conf");
    const std::pair<const char*, const char*> refusals[] = {
        {"utf16.ini", "is UTF-16 text"},       {"binary.ini", "holds binary data"},
        {"long-line.ini", "line 2 is longer"}, {"no-entries.ini", "no [entry]"},
        {"huge.ini", "is larger than 16 MiB"}, {"missing.ini", "cannot open"}};
    for (const auto& [file, reason] : refusals) {
        EXPECT_EQ(Cli({"import-winapp2", "--replace", PathOf(file)}), kExitNotDeleted) << file;
        EXPECT_TRUE(Contains(err, "nothing was imported: ") && Contains(err, reason)) << err;
    }
    EXPECT_EQ(FolderSnapshot(PathOf("plugin")), before);
    EXPECT_EQ(ReadFile("vestrel.conf"), config);

    // The selection cannot be replaced while another program holds it: the plug-ins are put back.
    UniqueHandle held(CreateFileW(ToWide(PathOf("vestrel.conf")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(Cli({"import-winapp2", "--replace", Rules("sample-rules.ini")}), kExitNotDeleted);
    EXPECT_TRUE(Contains(err, "cannot write the selection")) << err;
    EXPECT_EQ(FolderSnapshot(PathOf("plugin")), before);
}

// A run reads a missing selection as "nothing selected": an import must not turn it into "everything but the
// new items"; an unreadable one it leaves alone.
TEST_F(RulesImportTest, WithoutAReadableSelectionNoOtherItemBecomesSelected)
{
    AddItem("own.aep", "own", "Own Item");
    WriteFile("one.ini", "[Fine Entry]\r\nFileKey1=%Temp%\\Fine|*.tmp\r\n"
                         "[Bad\x01Name]\r\nFileKey1=%Temp%\\Bad|*.tmp\r\n");
    ASSERT_EQ(Cli({"import-winapp2", PathOf("one.ini")}), kExitNotDeleted) << err;
    EXPECT_TRUE(Contains(out, "Imported: 1 new, 0 updated, 1 skipped.")) << out;
    EXPECT_TRUE(Contains(out, "Skipped [Bad?Name]: line 3: the [section] name holds a control character"));
    EXPECT_EQ(Stored("fine-entry"), "false");
    EXPECT_TRUE(Contains(ReadFile("vestrel.conf"), "<own>false</own>"));
    ASSERT_EQ(Cli({"list"}), kExitDone);
    EXPECT_TRUE(Contains(out, "[ ] own")) << out;
    EXPECT_FALSE(Contains(out, "[!]")) << out;
    EXPECT_EQ(Cli({"preview"}), kExitNothingSelected) << out;

    WriteFile("vestrel.conf", "<vestrel-config><erase-items><own>false</own>");
    auto before = FolderSnapshot(PathOf("plugin"));
    EXPECT_EQ(Cli({"import-winapp2", "--replace", Rules("second-rules.ini")}), kExitNotDeleted);
    EXPECT_TRUE(Contains(err, "nothing was imported: cannot read the selection in")) << err;
    EXPECT_EQ(FolderSnapshot(PathOf("plugin")), before);
    EXPECT_EQ(ReadFile("vestrel.conf"), "<vestrel-config><erase-items><own>false</own>");
}

// An imported item previews and erases like any other, on a tree of its own in the user's folders.
TEST_F(RulesImportTest, AnImportedItemErasesWhatItsEntryNames)
{
    std::string tree = KnownFolderPath(FOLDERID_RoamingAppData) + "\\Vestrel Import Test";
    RemoveTreeForTest(tree);
    for (const char* folder : {"", "\\Logs", "\\Logs\\old", "\\Cache", "\\Cache\\deep"})
        ASSERT_TRUE(CreateDirectoryW(ToWide(tree + folder).c_str(), nullptr));
    auto write = [&](const char* name) {
        UniqueHandle file(
            CreateFileW(ToWide(tree + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), "12345", 5, &written, nullptr);
    };
    for (const char* name : {"\\Logs\\a.log", "\\Logs\\b.txt", "\\Logs\\old\\c.log", "\\Cache\\keep.dat",
                             "\\Cache\\deep\\d.bin", "\\Cache\\deep\\keep.dat", "\\Cache\\deep\\e.bak"})
        write(name);
    WriteFile("fake.ini", "[Fake Logger *]\r\n"
                          "FileKey1=%AppData%\\Vestrel Import Test\\Logs|*.log\r\n"
                          "FileKey2=%AppData%\\Vestrel Import Test\\Cache|*.*|RECURSE\r\n"
                          "ExcludeKey1=FILE|%AppData%\\Vestrel Import Test\\Cache|keep.dat\r\n"
                          "ExcludeKey2=PATH|%AppData%\\Vestrel Import Test\\Cache|*.bak\r\n");
    ASSERT_EQ(Cli({"import-winapp2", PathOf("fake.ini")}), kExitDone) << out;

    ASSERT_EQ(Cli({"preview", "winapp2-fake-logger"}), kExitDone) << err;
    EXPECT_TRUE(Contains(out, "= 2 files, 10 bytes")) << out;
    ASSERT_EQ(Cli({"erase", "winapp2-fake-logger"}), kExitDone) << err;
    auto exists = [&](const char* name) {
        return GetFileAttributesW(ToWide(tree + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_FALSE(exists("\\Logs\\a.log"));
    EXPECT_TRUE(exists("\\Logs\\b.txt")) << "another pattern";
    EXPECT_TRUE(exists("\\Logs\\old\\c.log")) << "no RECURSE: subfolders stay";
    EXPECT_FALSE(exists("\\Cache\\deep\\d.bin")) << "RECURSE";
    EXPECT_TRUE(exists("\\Cache\\keep.dat")) << "excluded";
    EXPECT_TRUE(exists("\\Cache\\deep\\keep.dat")) << "excluded below too, where RECURSE reaches";
    EXPECT_TRUE(exists("\\Cache\\deep\\e.bak")) << "excluded by pattern below the folder";
    RemoveTreeForTest(tree);
}

// The id an entry takes when its plain id is another's: the plain id with a hash of its lower-cased name.
std::string HashedSlug(const std::string& slug, const std::string& name)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    char text[16];
    snprintf(text, sizeof text, "-%08x", hash);
    return slug + text;
}

// A tick belongs to the entry it was given to: an entry whose name makes the same id, imported later and
// above it, gets an id of its own whichever of the two names was there first, the order of the file
// changes no id, and --replace takes only the id of the entry that is gone, whose tick never comes back.
TEST_F(RulesImportTest, AReimportThatInsertsACollidingNameMovesNoTick)
{
    const std::string plain = "[Foo Bar]\r\nFileKey1=%AppData%\\Foo Bar\\Cache|*.tmp\r\n";
    const std::string dashed = "[Foo-Bar *]\r\nFileKey1=%AppData%\\Foo-Bar\\Logs|*.log\r\n";
    for (bool dashedFirst : {false, true}) {
        SCOPED_TRACE(dashedFirst ? "[Foo-Bar] first" : "[Foo Bar] first");
        for (const std::string& id : VisibleImports(PathOf("plugin\\")))
            ASSERT_TRUE(DeleteFileW(ToWide(PathOf("plugin\\" + id + ".aep")).c_str()));
        DeleteFileW(ToWide(PathOf("vestrel.conf")).c_str());
        const std::string& first = dashedFirst ? dashed : plain;
        const std::string& second = dashedFirst ? plain : dashed;
        std::string secondId =
            dashedFirst ? HashedSlug("foo-bar", "foo bar") : HashedSlug("foo-bar", "foo-bar");
        WriteFile("first.ini", first);
        ASSERT_EQ(Cli({"import-winapp2", PathOf("first.ini")}), kExitDone) << out;
        std::string tickedPath = dashedFirst ? "Foo-Bar\\Logs" : "Foo Bar\\Cache";
        std::string otherPath = dashedFirst ? "Foo Bar\\Cache" : "Foo-Bar\\Logs";
        std::string config = ReadFile("vestrel.conf");
        std::string unticked = "<winapp2-foo-bar>false<";
        ASSERT_NE(config.find(unticked), std::string::npos) << config;
        config.replace(config.find(unticked), unticked.size(), "<winapp2-foo-bar>true<");
        WriteFile("vestrel.conf", config);

        for (const std::string& both : {dashed + plain, plain + dashed}) {
            WriteFile("both.ini", both);
            ASSERT_EQ(Cli({"import-winapp2", PathOf("both.ini")}), kExitDone) << out;
            EXPECT_EQ(Stored("foo-bar"), "true") << "the tick stays with its entry";
            EXPECT_TRUE(Contains(Plugin("foo-bar"), tickedPath)) << "and so does what the id erases";
            EXPECT_FALSE(Contains(Plugin("foo-bar"), otherPath));
            EXPECT_EQ(Stored(secondId), "false");
            EXPECT_TRUE(Contains(Plugin(secondId), otherPath));
        }
        EXPECT_TRUE(Contains(out, "Imported: 0 new, 2 updated, 0 skipped.")) << out;

        WriteFile("second.ini", second);
        ASSERT_EQ(Cli({"import-winapp2", "--replace", PathOf("second.ini")}), kExitDone) << out;
        EXPECT_TRUE(Contains(out, "Imported: 0 new, 1 updated, 0 skipped, 1 earlier imported removed."))
            << out;
        EXPECT_FALSE(HasPlugin("foo-bar")) << "the entry that is gone takes its id with it";
        ASSERT_EQ(Cli({"import-winapp2", PathOf("first.ini")}), kExitDone) << out;
        EXPECT_TRUE(Contains(out, "Imported: 1 new, 0 updated, 0 skipped.")) << out;
        EXPECT_EQ(Stored("foo-bar"), "false") << "an entry that comes back starts unticked";
        EXPECT_TRUE(HasPlugin(secondId));
    }
}

// A key refused for where it reaches is left out on its own, said in the summary and the plug-in's head, and
// the entry's other keys are imported. A pattern that is more than wildcards may take files directly in a
// data root, never below it; every wider reach into a protected folder stays refused.
TEST_F(RulesImportTest, OnlyTheRefusedKeyIsLeftOutAndANarrowPatternWorksInADataRoot)
{
    std::string root = KnownFolderPath(FOLDERID_LocalAppData);
    std::string tree = root + "\\Vestrel Narrow";
    RemoveTreeForTest(tree);
    ASSERT_TRUE(CreateDirectoryW(ToWide(tree).c_str(), nullptr));
    auto write = [](const std::string& path) {
        UniqueHandle file(
            CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file) << path;
    };
    for (const std::string& path : {root + "\\vestrelnarrow1.log", root + "\\vestrelnarrow.txt",
                                    tree + "\\vestrelnarrow2.log", tree + "\\cache.tmp"})
        write(path);
    WriteFile("narrow.ini", "[Narrow Keys]\r\n"
                            "FileKey1=%LocalAppData%\\Vestrel Narrow|*.tmp\r\n"
                            "FileKey2=%WinDir%\\System32|*.log\r\n"
                            "FileKey3=%LocalAppData%|vestrelnarrow*.log\r\n"
                            "FileKey4=%LocalAppData%|*.*\r\n"
                            "FileKey5=%LocalAppData%|vestrelnarrow*.log|RECURSE\r\n"
                            "FileKey6=%LocalAppData%\\*|vestrelnarrow*.log\r\n"
                            "RegKey1=HKCU\\Software\r\n"
                            "ExcludeKey1=FILE|%WinDir%\\System32|keep.log\r\n");
    ASSERT_EQ(Cli({"import-winapp2", PathOf("narrow.ini")}), kExitNotDeleted) << err;
    EXPECT_TRUE(Contains(out, "Imported: 1 new, 0 updated, 0 skipped, 5 keys left out.")) << out;
    for (const char* key :
         {"FileKey2: %windir%\\System32", "FileKey4: %localappdata%", "FileKey5: %localappdata%",
          "FileKey6: %localappdata%\\*", "RegKey1: HKEY_CURRENT_USER\\Software"})
        EXPECT_TRUE(Contains(out, std::string("Imported [Narrow Keys] without ") + key)) << key << out;
    std::string plugin = Plugin("narrow-keys");
    EXPECT_TRUE(Contains(plugin,
                         "entry [Narrow Keys]. Not imported: FileKey2: %windir%\\System32 is or holds a "
                         "protected folder."))
        << plugin;
    EXPECT_FALSE(Contains(plugin, "System32|") || Contains(plugin, "<keep>")) << plugin;

    std::string hand = PluginText("hand-narrow", "Hand", "application", "%localappdata%\\vestrelnarrow*.log");
    hand.replace(hand.find("<item>"), 6, "<item recurse=\"all\">");
    WriteFile("plugin\\hand.aep", hand);
    ASSERT_EQ(Cli({"erase", "winapp2-narrow-keys", "hand-narrow"}), kExitDone) << err << out;
    auto exists = [](const std::string& path) {
        return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_FALSE(exists(root + "\\vestrelnarrow1.log"));
    EXPECT_FALSE(exists(tree + "\\cache.tmp"));
    EXPECT_TRUE(exists(root + "\\vestrelnarrow.txt")) << "another pattern";
    EXPECT_TRUE(exists(tree + "\\vestrelnarrow2.log")) << "no subfolder of a data root is entered";
    DeleteFileW(ToWide(root + "\\vestrelnarrow.txt").c_str());
    RemoveTreeForTest(tree);
}

// An exclusion is read as the engine reads a keep: spelled another way it still keeps its place; one outside
// every folder the entry empties would keep nothing there, and the entry is skipped with the reason.
TEST_F(RulesImportTest, ExclusionsKeepTheirPlaceHoweverSpelledOrTheEntryIsSkipped)
{
    std::string tree = KnownFolderPath(FOLDERID_LocalAppData) + "\\Vestrel Spelled";
    RemoveTreeForTest(tree);
    for (const char* folder : {"", "\\Cache", "\\Cache\\Pinned"})
        ASSERT_TRUE(CreateDirectoryW(ToWide(tree + folder).c_str(), nullptr));
    for (const char* name : {"\\Cache\\x.dat", "\\Cache\\Pinned\\p.dat"}) {
        UniqueHandle file(
            CreateFileW(ToWide(tree + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
    }
    WriteFile("spelled.ini",
              "[Spelled Keep]\r\n"
              "FileKey1=%LocalAppData%\\Vestrel Spelled\\Cache|*.*|RECURSE\r\n"
              "ExcludeKey1=PATH|%LocalAppData%\\Vestrel Spelled/Other/../Cache\\\\Pinned\r\n"
              "[Outside Keep]\r\n"
              "FileKey1=%LocalAppData%\\Vestrel Spelled\\Cache|*.*|RECURSE\r\n"
              "ExcludeKey1=FILE|%LocalAppData%\\Vestrel Spelled\\Cache\\..\\Settings|*.ini\r\n");
    ASSERT_EQ(Cli({"import-winapp2", PathOf("spelled.ini")}), kExitNotDeleted) << err;
    EXPECT_TRUE(Contains(out, "Imported: 1 new, 0 updated, 1 skipped.")) << out;
    EXPECT_TRUE(Contains(out,
                         "Skipped [Outside Keep]: ExcludeKey1: %localappdata%\\Vestrel Spelled\\Cache\\..\\"
                         "Settings\\**\\*.ini lies outside every folder the entry empties"))
        << out;

    ASSERT_EQ(Cli({"erase", "winapp2-spelled-keep"}), kExitDone) << err;
    auto exists = [&](const char* name) {
        return GetFileAttributesW(ToWide(tree + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_FALSE(exists("\\Cache\\x.dat"));
    EXPECT_TRUE(exists("\\Cache\\Pinned\\p.dat"));
    RemoveTreeForTest(tree);
}

} // namespace

// Every variable current rules files use becomes the plug-in token(s) for its folder, and a whole
// variable folder is refused as the protected folders are.
TEST(RulesVariables, EachVariableBecomesItsTokensAndItsWholeFolderIsRefused)
{
    const struct {
        const char* variable;
        std::vector<std::string> tokens;
    } kTable[] = {
        {"%AppData%", {"%appdata%"}},
        {"%LocalAppData%", {"%localappdata%"}},
        {"%LocalLowAppData%", {"%localappdatalow%"}},
        {"%ProgramFiles%", {"%programfiles%", "%programfilesx86%"}},
        {"%ProgramW6432%", {"%programfiles%"}},
        {"%ProgramFiles(x86)%", {"%programfilesx86%"}},
        {"%CommonProgramFiles%", {"%commonprogramfiles%", "%commonprogramfilesx86%"}},
        {"%CommonProgramFiles(x86)%", {"%commonprogramfilesx86%"}},
        {"%CommonAppData%", {"%programdata%"}},
        {"%ProgramData%", {"%programdata%"}},
        {"%AllUsersProfile%", {"%programdata%"}},
        {"%UserProfile%", {"%userhome%"}},
        {"%WinDir%", {"%windir%"}},
        {"%SystemRoot%", {"%windir%"}},
        {"%SystemDrive%", {"%systemdrive%"}},
        {"%Documents%", {"%documents%"}},
        {"%Desktop%", {"%desktop%"}},
        {"%Pictures%", {"%pictures%"}},
        {"%Music%", {"%music%"}},
        {"%Video%", {"%videos%"}},
        {"%Public%", {"%public%"}},
        {"%Temp%", {"%temp%"}},
        {"%Tmp%", {"%temp%"}},
    };
    ImportChecks checks = ImportChecks::OfThisSystem();
    auto translate = [&](const std::string& fileKey) {
        RulesEntry entry{"Vendor App *", "Vendor App", 1, {{"FileKey1", fileKey, 2}}, ""};
        return TranslateEntry(entry, checks);
    };
    for (const auto& row : kTable) {
        EntryTranslation named = translate(std::string(row.variable) + "\\Vendor App\\Logs|*.log");
        ASSERT_EQ(named.skipReason, "") << row.variable;
        std::vector<std::string> paths;
        for (const DraftParameter& parameter : named.draft.parameters)
            paths.push_back(parameter.text);
        std::vector<std::string> expected;
        for (const std::string& token : row.tokens)
            expected.push_back(token + "\\Vendor App\\Logs\\*.log");
        EXPECT_EQ(paths, expected) << row.variable;
        bool temporary = row.tokens.front() == "%temp%";
        EXPECT_EQ(translate(std::string(row.variable) + "|*.*|RECURSE").skipReason.empty(), temporary)
            << row.variable;
    }
    EXPECT_NE(translate("%UserName%\\App|*.log").skipReason.find("unknown variable"), std::string::npos);
}
