#include "engine/CommandExecutor.h"
#include "engine/files/NamePattern.h"
#include "engine/files/PathExpansion.h"
#include "engine/items/EraseItemList.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/RegKey.h"
#include "framework/Utf8.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Environment(const wchar_t* name)
{
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length && length < 32768 ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

class RecordingListener final : public EraseListener {
public:
    void OnFile(const std::string& path, uint64_t) override { files.push_back(path); }
    void OnFolderLink(const std::string&) override {}
    void OnRegistryEntry(const std::string&, bool) override {}
    void OnRecycleBin(const std::string&, uint64_t, uint64_t) override {}
    void OnFailure(const std::string&, const std::string&) override {}
    void OnRefused(const std::string& path) override { refused.push_back(path); }
    void OnUncounted(const std::string&) override {}
    void OnSkipped(const std::string& reason) override { skipped.push_back(reason); }

    std::vector<std::string> files, refused, skipped;
};

class PluginExtensionsTest : public SandboxTest {
protected:
    // Loads the plug-in text from a file and runs it, protecting only the sandbox's "profile" folder.
    EraseItem Run(const std::string& text, EraseMode mode = EraseMode::Erase)
    {
        WriteFile("item.aep", text);
        EraseItem item;
        EXPECT_TRUE(item.LoadFromFile(PathOf("item.aep"), 10)) << item.errorText;
        CommandExecutor({PathOf(""), ProtectedFolders({PathOf("profile")})}, {}, {mode, &listener})
            .Execute(item);
        return item;
    }

    std::string Item(const std::string& text, const std::string& attributes = "") const
    {
        return "<item" + attributes + ">" + PathOf(text) + "</item>";
    }

    RecordingListener listener;
};

TEST_F(PluginExtensionsTest, OptionalElementsAndAttributesAreRead)
{
    WriteFile("item.aep",
              PluginWith("delete-file",
                         "<item recurse=\"All\">C:\\A\\*.TMP</item><item command=\"delete-directory\" "
                         "remove-self=\"true\">C:\\B</item><item>c:\\c</item>",
                         "<running name=\"Chrome\">chrome.exe</running><running>Foo.EXE</running>"
                         "<older-than-hours> 24 </older-than-hours><keep>C:\\B\\Low</keep>"
                         "<detect>HKEY_CURRENT_USER\\Software\\X</detect><warning>Takes tabs.</warning>"
                         "<default>True</default>"));
    EraseItem item;
    ASSERT_TRUE(item.LoadFromFile(PathOf("item.aep"), 10)) << item.errorText;
    EXPECT_EQ(item.parameters, (std::vector<std::string>{"c:\\a\\*.tmp", "c:\\b", "c:\\c"}));
    EXPECT_EQ(item.OptionsOf(0).recurse, Recurse::All);
    EXPECT_EQ(item.CommandOf(1), "delete-directory");
    EXPECT_TRUE(item.OptionsOf(1).removeSelf);
    EXPECT_EQ(item.CommandOf(2), "delete-file");
    ASSERT_EQ(item.running.size(), 2u);
    EXPECT_EQ(item.running[0].name, "Chrome");
    EXPECT_EQ(item.running[1].name, "Foo") << "named after the program without .exe";
    EXPECT_EQ(item.olderThanHours, 24);
    EXPECT_EQ(item.keep, std::vector<std::string>{"c:\\b\\low"});
    EXPECT_EQ(item.detect, std::vector<std::string>{"hkey_current_user\\software\\x"});
    EXPECT_EQ(item.warning, "Takes tabs.");
    EXPECT_TRUE(item.isDefault);
}

// A value no reader knows would make the item do something its author did not mean: the file is refused.
TEST_F(PluginExtensionsTest, UnreadableValuesKeepTheFileFromLoading)
{
    for (const std::string& text :
         {PluginWith("delete-file", "<item recurse=\"deep\">c:\\x\\*</item>"),
          PluginWith("delete-file", "<item command=\"run\">c:\\x\\*</item>"),
          PluginWith("delete-directory", "<item remove-self=\"yes\">c:\\x</item>"),
          PluginWith("delete-file", "<item remove-self=\"true\">c:\\x\\*</item>"),
          // A table is named, as a plain name, and only for empty-table.
          PluginWith("empty-table", "<item>c:\\x\\web data</item>"),
          PluginWith("empty-table", "<item table=\"autofill; drop table keywords\">c:\\x\\web data</item>"),
          PluginWith("delete-file", "<item table=\"autofill\">c:\\x\\web data</item>"),
          PluginWith("delete-file", "<item>c:\\x\\*</item>", "<older-than-hours>24h</older-than-hours>"),
          PluginWith("delete-file", "<item>c:\\x\\*</item>", "<default>yes</default>"),
          PluginWith("delete-file", "<item>c:\\x\\*</item>", "<running></running>"),
          PluginWith("delete-file", "<item>c:\\x\\*</item>", "<keep/>"),
          // A keep outside every folder the item empties, however it is spelled, would spare nothing.
          PluginWith("delete-file", "<item>c:\\x\\*</item>", "<keep>c:\\y\\z</keep>"),
          PluginWith("delete-directory", "<item>c:\\x</item>", "<keep>c:/x/../y/z</keep>"),
          PluginWith("advance", "<item>delete-temp-files</item>", "<keep>%temp%\\low</keep>")}) {
        WriteFile("item.aep", text);
        EraseItem item;
        EXPECT_FALSE(item.LoadFromFile(PathOf("item.aep"), 10)) << text;
        EXPECT_FALSE(item.errorText.empty());
    }
}

TEST_F(PluginExtensionsTest, NewTokensNameTheUsersAndSystemsFolders)
{
    EXPECT_EQ(ExpandParameter("%LocalAppData%\\x"), Environment(L"LOCALAPPDATA") + "\\x");
    EXPECT_EQ(ExpandParameter("%programdata%"), Environment(L"ProgramData"));
    EXPECT_EQ(LowerCase(ExpandParameter("%windir%")), LowerCase(Environment(L"windir")));
    std::string temp = Environment(L"TEMP");
    EXPECT_EQ(LowerCase(ExpandParameter("%temp%\\a")), LowerCase(temp + "\\a"));
    EXPECT_FALSE(ExpandParameter("%programfiles%").empty());
    EXPECT_EQ(ExpandParameter("%tmp%\\x"), "%tmp%\\x") << "not a token";
    EXPECT_EQ(LowerCase(ExpandParameter("%SystemDrive%\\x")), LowerCase(Environment(L"SystemDrive") + "\\x"));
    EXPECT_EQ(LowerCase(ExpandParameter("%public%")), LowerCase(Environment(L"PUBLIC")));
}

TEST_F(PluginExtensionsTest, FolderWildcardsMatchRealFoldersOnlyEachCheckedOnItsOwn)
{
    WriteFile("users\\a1\\cache\\x", "12");
    WriteFile("users\\b2\\cache\\y", "1");
    WriteFile("users\\b2.txt", "file, not a folder");
    WriteFile("elsewhere\\cache\\z", "kept");
    WriteFile("profile\\cache\\p", "protected");
    bool linked = MakeFolderLinkForTest(PathOf("users\\c3"), PathOf("elsewhere"));
    EraseItem item = Run(PluginWith("delete-file", Item("users\\*\\cache\\*") + Item("pr?file\\*")));
    EXPECT_EQ(item.tally.filesErased, 2u);
    EXPECT_FALSE(Exists("users\\a1\\cache\\x") || Exists("users\\b2\\cache\\y"));
    EXPECT_TRUE(Exists("elsewhere\\cache\\z")) << "a link is never a match";
    EXPECT_TRUE(Exists("profile\\cache\\p"));
    ASSERT_EQ(listener.refused.size(), 1u);
    EXPECT_EQ(listener.refused[0], PathOf("profile\\")) << "spelled as on disk";
    if (linked)
        RemoveFolderLinkForTest(PathOf("users\\c3"));
    EXPECT_TRUE(MatchesWildcard(L"Profile 12", L"profile ?*"));
    EXPECT_FALSE(MatchesWildcard(L"abc", L"a?"));

    // A folder part follows the rules of file names, not the system's own search.
    MakeFolder("profiles\\Default");
    MakeFolder("profiles\\abc.def");
    std::string plain = PathOf("profiles\\Default\\x"), dotted = PathOf("profiles\\abc.def\\x");
    auto matches = [&](const std::string& part) {
        std::vector<std::string> found = ExpandFolderWildcards(PathOf("profiles\\" + part + "\\x"));
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(matches("*.*"), (std::vector{plain, dotted}));
    EXPECT_EQ(matches("*."), (std::vector{plain})) << "no extension";
    EXPECT_EQ(matches("default.*"), (std::vector{plain}));
    EXPECT_EQ(matches("?BC.*"), (std::vector{dotted}));
}

TEST_F(PluginExtensionsTest, RecurseChoosesHowFarBelowTheFolderTheDeletionReaches)
{
    struct Case {
        const char* recurse;
        bool deep, matchingFolder;
    } cases[] = {{"none", false, false}, {"matching", false, true}, {"all", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recurse);
        WriteFile("t\\a.tmp", "1");
        WriteFile("t\\sub\\b.tmp", "1");
        WriteFile("t\\sub.tmp\\c.tmp", "1");
        Run(PluginWith("delete-file", Item("t\\*.tmp", std::string(" recurse=\"") + c.recurse + "\"")));
        EXPECT_FALSE(Exists("t\\a.tmp"));
        EXPECT_EQ(Exists("t\\sub\\b.tmp"), !c.deep);
        EXPECT_EQ(Exists("t\\sub.tmp"), !c.matchingFolder);
        EXPECT_TRUE(Exists("t\\sub")) << "a folder not matching the pattern stays";
    }
}

TEST_F(PluginExtensionsTest, KeptAndYoungFilesStayUncounted)
{
    WriteFile("t\\old.log", "123");
    WriteFile("t\\new.log", "1");
    WriteFile("t\\x.keep", "1");
    WriteFile("t\\a\\b\\y.keep", "1");
    WriteFile("t\\a\\b\\z.log", "12");
    WriteFile("t\\notes\\README", "1");
    WriteFile("t\\low\\deep\\k", "1");
    MakeFolder("t\\low\\empty");
    FILETIME twoDaysAgo;
    GetSystemTimeAsFileTime(&twoDaysAgo);
    ULARGE_INTEGER time{{twoDaysAgo.dwLowDateTime, twoDaysAgo.dwHighDateTime}};
    time.QuadPart -= 48ULL * 36'000'000'000ULL;
    twoDaysAgo = {time.LowPart, time.HighPart};
    for (const char* name : {"t\\old.log", "t\\x.keep", "t\\a\\b\\y.keep", "t\\a\\b\\z.log",
                             "t\\notes\\README", "t\\low\\deep\\k"}) {
        UniqueHandle file(CreateFileW(ToExtendedPath(PathOf(name)).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &twoDaysAgo));
    }
    std::string more = "<older-than-hours>24</older-than-hours><keep>" + PathOf("T\\LOW") + "</keep><keep>" +
                       PathOf("t\\**\\*.keep") + "</keep><keep>" + PathOf("t\\notes\\*.*") + "</keep>";
    EraseItem item = Run(PluginWith("delete-directory", Item("t"), more));
    EXPECT_EQ(item.tally.filesErased, 2u);
    EXPECT_EQ(item.tally.bytesReleased, 5u);
    EXPECT_FALSE(Exists("t\\old.log"));
    EXPECT_FALSE(Exists("t\\a\\b\\z.log")) << "** keeps only what the part after it names";
    for (const char* kept : {"t\\new.log", "t\\x.keep", "t\\a\\b\\y.keep", "t\\notes\\README",
                             "t\\low\\deep\\k", "t\\low\\empty"})
        EXPECT_TRUE(Exists(kept)) << kept;
}

// A keep spelled with "/", ".", "..", a doubled backslash or through a link keeps what it names; so does one
// written plainly for a folder that the item reaches through a link.
TEST_F(PluginExtensionsTest, KeepsNameTheSamePlaceHoweverTheyAreSpelled)
{
    for (const char* folder : {"a", "b", "c", "d", "e", "f"}) {
        WriteFile(std::string("t\\") + folder + "\\kept.txt", "1");
        WriteFile(std::string("t\\") + folder + "\\gone.txt", "1");
    }
    WriteFile("t\\g\\README", "1");
    WriteFile("t\\g\\notes.txt", "1");
    WriteFile("u\\kept.txt", "1");
    WriteFile("u\\gone.txt", "1");
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("to-t"), PathOf("t")));
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("to-u"), PathOf("u")));
    std::string keeps;
    for (const std::string& keep :
         {PathOf("t/a/kept.txt"), PathOf("t\\.\\b\\kept.txt"), PathOf("t\\z\\..\\c\\kept.txt"),
          PathOf("t\\\\d\\\\kept.txt"), PathOf("to-t\\e\\kept.txt"), PathOf("t\\f\\kept.txt\\"),
          PathOf("t/g/*."), PathOf("u\\kept.txt")})
        keeps += "<keep>" + keep + "</keep>";
    EraseItem item = Run(PluginWith("delete-directory", Item("t") + Item("to-u"), keeps));
    RemoveFolderLinkForTest(PathOf("to-t"));
    RemoveFolderLinkForTest(PathOf("to-u"));
    EXPECT_EQ(item.tally.filesErased, 8u);
    for (const char* folder : {"a", "b", "c", "d", "e", "f"}) {
        EXPECT_TRUE(Exists(std::string("t\\") + folder + "\\kept.txt")) << folder;
        EXPECT_FALSE(Exists(std::string("t\\") + folder + "\\gone.txt")) << folder;
    }
    EXPECT_TRUE(Exists("t\\g\\README")) << "*. keeps the names without an extension";
    EXPECT_FALSE(Exists("t\\g\\notes.txt"));
    EXPECT_TRUE(Exists("u\\kept.txt")) << "written plainly, reached through a link";
    EXPECT_FALSE(Exists("u\\gone.txt"));
}

TEST_F(PluginExtensionsTest, RunningProgramSkipsTheItem)
{
    WriteFile("t\\a", "1");
    std::string running = "<running name=\"The Tests\">ENGINE_TESTS.exe</running><running>x.exe</running>";
    for (EraseMode mode : {EraseMode::Preview, EraseMode::Erase}) {
        EraseItem item = Run(PluginWith("delete-directory", Item("t"), running), mode);
        EXPECT_EQ(item.tally.filesErased, 0u);
        EXPECT_EQ(item.skipped, "skipped: The Tests is running");
    }
    EXPECT_EQ(listener.skipped.size(), 2u);
    EXPECT_TRUE(Exists("t\\a"));
    EraseItem other =
        Run(PluginWith("delete-directory", Item("t"), "<running>no-such-program.exe</running>"));
    EXPECT_EQ(other.tally.filesErased, 1u);
    EXPECT_EQ(other.skipped, "");
}

TEST_F(PluginExtensionsTest, ParameterCommandsAndRemoveSelfMixInOneItem)
{
    WriteFile("gone\\sub\\a", "1");
    WriteFile("stays\\b", "1");
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(1, "v"), ERROR_SUCCESS);
    EraseItem item =
        Run(PluginWith("delete-file", Item("gone", " command=\"delete-directory\" remove-self=\"true\"") +
                                          Item("stays", " command=\"Delete-Directory\"") +
                                          "<item command=\"delete-register-value\">HKEY_CURRENT_USER\\" +
                                          ScratchKey() + "\\v</item>"));
    EXPECT_EQ(item.tally.filesErased, 2u);
    EXPECT_EQ(item.tally.registryEntriesErased, 1u);
    EXPECT_FALSE(Exists("gone"));
    EXPECT_TRUE(Exists("stays"));
}

// Items of programs that are not on this machine are listed nowhere; their stored ticks stay.
TEST_F(PluginExtensionsTest, ItemsWithNothingToDetectAreSetAside)
{
    class AllSelected : public ItemSelection {
    public:
        bool IsSelected(const std::string&) const override { return true; }
    } all;
    MakeFolder("plugins");
    MakeFolder("installed\\app");
    auto write = [&](const char* name, const std::string& detect) {
        std::string text = PluginWith("delete-file", Item("x\\*"), detect);
        WriteFile(std::string("plugins\\") + name + ".aep",
                  text.replace(text.find("<id>item"), 8, std::string("<id>") + name));
    };
    write("absent", "<detect>" + PathOf("missing") + "</detect><detect>HKEY_CURRENT_USER\\" + ScratchKey() +
                        "\\none</detect>");
    write("plain", "");
    write("folder",
          "<detect>" + PathOf("missing") + "</detect><detect>" + PathOf("inst*\\app") + "</detect>");
    write("key", "<detect>HKEY_CURRENT_USER\\" + ScratchKey() + "</detect>");
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EraseItemList list(PathOf("plugins"), 10, all);
    ASSERT_EQ(list.Undetected().size(), 1u);
    EXPECT_EQ(list.Undetected()[0]->id, "absent");
    EXPECT_FALSE(list.Undetected()[0]->Listed());
    EXPECT_EQ(list.Checked().size(), 3u);
}

// Many items looking into the same folders and keys, as imported ones do: each is found exactly when its own
// path exists, whichever items asked about the same folder or key before it, in any case.
TEST_F(PluginExtensionsTest, ManyItemsLookingIntoOneFolderOrKeyAreEachFoundOnTheirOwn)
{
    class AllSelected : public ItemSelection {
    public:
        bool IsSelected(const std::string&) const override { return true; }
    } all;
    MakeFolder("plugins");
    MakeFolder("apps\\Present");
    WriteFile("apps\\file.txt", "x");
    WriteFile("apps\\Present\\inner.txt", "x");
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey() + "\\Present", KEY_ALL_ACCESS), ERROR_SUCCESS);
    RegKey parent;
    ASSERT_EQ(parent.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(parent.get(), L"Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"v"), 4),
              ERROR_SUCCESS);
    const std::string hive = "HKEY_CURRENT_USER\\" + ScratchKey() + "\\";
    const std::vector<std::pair<std::string, bool>> detects = {
        {PathOf("apps\\Missing1"), false},
        {PathOf("apps\\PRESENT"), true},
        {PathOf("apps\\Missing2"), false},
        {PathOf("apps\\file.txt"), true},
        {PathOf("apps\\Missing1\\Deeper"), false},
        {PathOf("apps\\Present\\"), true},
        {hive + "Missing", false},
        {hive + "present", true},
        {hive + "Missing2", false},
        {hive + "value", true},
        {hive + "Missing\\Deeper", false},
        {hive + "Present", true},
        // Asked again below a folder already known to be there, or not.
        {PathOf("apps\\Present\\inner.txt"), true},
        {PathOf("apps\\Present\\Gone"), false},
        {PathOf("apps\\Missing1\\Deeper\\Still"), false},
    };
    for (size_t i = 0; i < detects.size(); ++i) {
        std::string text =
            PluginWith("delete-file", Item("x\\*"), "<detect>" + detects[i].first + "</detect>");
        std::string id = "item" + std::to_string(100 + i);
        WriteFile("plugins\\" + id + ".aep", text.replace(text.find("<id>item"), 8, "<id>" + id));
    }
    EraseItemList list(PathOf("plugins"), 10, all);
    ASSERT_EQ(list.Items().size(), detects.size());
    for (size_t i = 0; i < detects.size(); ++i)
        EXPECT_EQ(list.Items()[i].detected, detects[i].second) << detects[i].first;
}

} // namespace
