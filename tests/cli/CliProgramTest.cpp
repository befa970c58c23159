#include "app/StatisticsText.h"
#include "framework/ErrorText.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/cli/CliFixture.h"
#include "tests/cli/TreeSnapshot.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/PlacesForTest.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchRegistry.h"

#include <string>

namespace {

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A path as the JSON output writes it.
std::string JsonPath(const std::string& path)
{
    std::string quoted;
    for (char c : path)
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return quoted;
}

class CliProgramTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        AddItem("1.aep", "first", "First Item");
        AddItem("2.aep", "second", "Second Item");
        AddItem("3.aep", "third", "Third Item");
        WriteConfig({{"first", true}, {"second", false}, {"third", true}});
    }
};

TEST_F(CliProgramTest, PreviewNamesWhatEraseThenRemovesAndChangesNothing)
{
    auto files = FolderSnapshot(Folder());
    auto keys = KeySnapshot(HKEY_CURRENT_USER, ScratchKey());
    ASSERT_EQ(Cli({"preview", "--json"}), kExitDone) << err;
    std::string preview = out;
    EXPECT_EQ(FolderSnapshot(Folder()), files);
    EXPECT_EQ(KeySnapshot(HKEY_CURRENT_USER, ScratchKey()), keys) << "a preview stores no statistics";
    EXPECT_FALSE(Exists("vestrel.log")) << "a preview writes no record lines";

    ASSERT_EQ(Cli({"--json", "erase"}), kExitDone) << err;
    EXPECT_EQ(out, Replaced(preview, "\"command\":\"preview\"", "\"command\":\"erase\""));
    EXPECT_TRUE(Contains(out, "\"totals\":{\"files\":4,\"bytes\":6000,\"registryEntries\":0,\"cookies\":0},"
                              "\"errors\":[]}"));
    EXPECT_TRUE(ItemErased("first"));
    EXPECT_TRUE(ItemUntouched("second"));
    EXPECT_TRUE(ItemErased("third"));
}

TEST_F(CliProgramTest, EraseRecordsItsItemsAndAddsToTheStatisticsTheWindowShows)
{
    WriteDwordForTest(ScratchKey(), "Erased File Num", 10);
    WriteDwordForTest(ScratchKey(), "Erased File Size", 1000);
    ASSERT_EQ(Cli({"erase", "third", "first"}), kExitDone) << err;
    EXPECT_EQ(RecordMessages(), (std::vector<std::string>{"First Item done...", "Third Item done..."}))
        << "in file order";
    EXPECT_EQ(ReadQwordForTest(ScratchKey(), "Erased File Num"), 14u);
    EXPECT_EQ(ReadQwordForTest(ScratchKey(), "Erased File Size"), 7000u);
    EXPECT_EQ(ReadStringForTest(ScratchKey(), "Last Erased Time"), ExpectedLastErasedText());

    ProcessStatistics() = {};
    LoadSettings(ScratchKey());
    EXPECT_EQ(FilesErasedLine(ProcessStatistics()), "Files Erased: 14;  Released HD Space: 6 KB; ");
    EraseStatistics stored;
    stored.lastErasedText = ExpectedLastErasedText();
    EXPECT_EQ(LastErasedLine(ProcessStatistics()), LastErasedLine(stored)) << "the window shows this run";
}

TEST_F(CliProgramTest, ItemsNamedOnTheLineOverrideTheSelection)
{
    ASSERT_EQ(Cli({"preview", "second"}), kExitDone);
    EXPECT_TRUE(Contains(out, "Second Item [second]"));
    EXPECT_FALSE(Contains(out, "[first]"));
    // Plug-in parameters are lower-cased on load; the paths told are spelled as on disk.
    EXPECT_TRUE(Contains(out, PathOf("second\\one.tmp"))) << out;
    EXPECT_TRUE(Contains(out, "Total: 2 files, 2 KB, 0 registry entries"));
}

TEST_F(CliProgramTest, FileThatCannotGoIsListedAndEndsWithOne)
{
    UniqueHandle held(CreateFileW(ToExtendedPath(PathOf("first\\two.tmp")).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(Cli({"preview", "first"}), kExitNotDeleted);
    EXPECT_TRUE(Contains(out, "  = 1 file, 1,000 bytes, 0 registry entries\n"));
    EXPECT_TRUE(Contains(out, "  would fail" + std::string(16, ' ') + PathOf("first\\two.tmp") + ": "));
    EXPECT_EQ(Cli({"erase", "first", "--json"}), kExitNotDeleted);
    EXPECT_TRUE(
        Contains(out, "\"errors\":[{\"id\":\"first\",\"path\":\"" + JsonPath(PathOf("first\\two.tmp"))))
        << out;
    EXPECT_TRUE(Exists("first\\two.tmp"));
    EXPECT_FALSE(Exists("first\\one.tmp"));
}

TEST_F(CliProgramTest, RefusedKeyIsListedRecordedAndEndsWithOne)
{
    std::string plugin = PluginText("guard", "Guard", "windows", "HKEY_CURRENT_USER\\Software");
    WriteFile("plugin\\4.aep", Replaced(plugin, "delete-file", "delete-register-key"));
    const std::string refused = "hkey_current_user\\software (a protected registry key)";
    EXPECT_EQ(Cli({"preview", "guard"}), kExitNotDeleted);
    EXPECT_TRUE(Contains(out, "  refused" + std::string(19, ' ') + refused + "\n")) << out;
    EXPECT_EQ(Cli({"erase", "guard", "--json"}), kExitNotDeleted);
    EXPECT_TRUE(Contains(out, "\"refused\":[\"hkey_current_user\\\\software\"]"));
    EXPECT_EQ(RecordMessages(), (std::vector<std::string>{"refused " + refused, "Guard done..."}));
    EXPECT_TRUE(ItemUntouched("first"));
}

TEST_F(CliProgramTest, UnknownIdsAndBadUsageEndWithTwoAndDoNothing)
{
    EXPECT_EQ(Cli({"erase", "first", "nosuch"}), kExitBadUsage);
    EXPECT_TRUE(Contains(err, "unknown item id: nosuch"));
    EXPECT_TRUE(ItemUntouched("first"));
    EXPECT_EQ(Cli({"erase", "--json", "nosuch"}), kExitBadUsage);
    EXPECT_EQ(
        out,
        "{\"command\":\"erase\",\"error\":\"unknown item id: nosuch (vestrel-cli list shows the ids)\"}\n");
    for (const std::vector<std::string>& line :
         std::vector<std::vector<std::string>>{{}, {"wipe"}, {"erase", "--force"}, {"list", "first"}}) {
        EXPECT_EQ(Cli(line), kExitBadUsage) << (line.empty() ? "" : line[0]);
        EXPECT_TRUE(Contains(err, "--help")) << err;
        EXPECT_TRUE(out.empty());
    }
    EXPECT_EQ(Cli({"erase", "--help"}), kExitDone);
    EXPECT_TRUE(Contains(out, "Usage: vestrel-cli"));
    EXPECT_TRUE(ItemUntouched("first"));
}

// The list is one REG_MULTI_SZ value, which Group Policy tools and regedit show as one host a line.
std::wstring RawKeepSites(const std::string& keyPath)
{
    HKEY key = nullptr;
    std::wstring data(256, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"(no key)";
    LONG status =
        RegQueryValueExW(key, L"Keep Sites", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return L"(no REG_MULTI_SZ)";
    return data.substr(0, size / sizeof(wchar_t));
}

TEST_F(CliProgramTest, KeepAddsListsAndRemovesSitesAsTyped)
{
    ASSERT_EQ(Cli({"keep", "list"}), kExitDone) << err;
    EXPECT_TRUE(Contains(out, "No sites to keep"));
    ASSERT_EQ(Cli({"keep", "add", "https://WWW.Example.com:443/login"}), kExitDone) << err;
    ASSERT_EQ(Cli({"keep", "add", "example.org"}), kExitDone) << err;
    EXPECT_EQ(out, "www.example.com\nexample.org\n");
    EXPECT_EQ(Cli({"keep", "add", "www.example.com"}), kExitDone);
    EXPECT_TRUE(Contains(err, "kept already"));
    EXPECT_EQ(RawKeepSites(ScratchKey()), std::wstring(L"www.example.com\0example.org\0\0", 29));

    ASSERT_EQ(Cli({"keep", "remove", "WWW.example.com"}), kExitDone) << err;
    ASSERT_EQ(Cli({"keep", "list", "--json"}), kExitDone) << err;
    EXPECT_EQ(out, "{\"command\":\"keep\",\"sites\":[\"example.org\"],\"managed sites\":[]}\n");

    for (const std::vector<std::string>& line : std::vector<std::vector<std::string>>{
             {"keep"}, {"keep", "add"}, {"keep", "list", "x.com"}, {"keep", "add", "not a host"}}) {
        EXPECT_EQ(Cli(line), kExitBadUsage) << line.back();
        EXPECT_TRUE(out.empty());
    }
    EXPECT_EQ(RawKeepSites(ScratchKey()), std::wstring(L"example.org\0\0", 13));
}

// The policy's sites are listed beside the user's own, marked as the organization's.
TEST_F(CliProgramTest, KeepListShowsThePolicysSitesMarked)
{
    WriteStringsForTest(HKEY_CURRENT_USER, ScratchKey() + "\\Policy", "Keep Sites",
                        {"Intranet.example", "example.org"});
    policies = Policies::Read(ScratchKey() + "\\Policy");
    ASSERT_EQ(Cli({"keep", "add", "example.org"}), kExitDone) << err;
    EXPECT_EQ(out, "example.org\nintranet.example (set by your organization)\n");
    ASSERT_EQ(Cli({"keep", "list", "--json"}), kExitDone) << err;
    EXPECT_EQ(out,
              "{\"command\":\"keep\",\"sites\":[\"example.org\"],\"managed sites\":[\"intranet.example\","
              "\"example.org\"]}\n");
}

// The erase writes what the window's run writes of a cookie database; a list of sites that cannot be read
// stops the cookie item (exit 1, said in the output and the record file) and is never replaced.
TEST_F(CliProgramTest, CookiesAreRecordedAndAnUnreadableKeepListStopsTheCookieItem)
{
    WriteFile("plugin\\4.aep", Replaced(PluginText("cookies", "Cookies Item", "windows", PathOf("Cookies")),
                                        "<item>", "<item command=\"delete-cookies\">"));
    WriteConfig({{"cookies", true}});
    ASSERT_TRUE(MakeChromiumCookiesForTest(PathOf("Cookies")));
    ASSERT_EQ(Cli({"keep", "add", "example.com"}), kExitDone) << err;
    ASSERT_EQ(Cli({"erase"}), kExitDone) << out << err;
    EXPECT_TRUE(Contains(ReadFile("vestrel.log"),
                         "Cookies Item: 3 cookies of sites not kept from " + LowerCase(PathOf("Cookies"))))
        << ReadFile("vestrel.log");
    EXPECT_EQ(RowsForTest(PathOf("Cookies"), "cookies"), 3);

    DWORD number = 1;
    WriteRawForTest(HKEY_CURRENT_USER, ScratchKey(), "Keep Sites", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(Cli({"erase", "--json"}), kExitNotDeleted);
    EXPECT_TRUE(Contains(out, "skipped: the sites to keep cannot be read")) << out;
    EXPECT_EQ(RowsForTest(PathOf("Cookies"), "cookies"), 3);
    EXPECT_TRUE(Contains(ReadFile("vestrel.log"), "Cookies Item skipped: the sites to keep cannot be read"));
    EXPECT_EQ(Cli({"keep", "add", "new.net"}), kExitNotDeleted);
    EXPECT_TRUE(Contains(err, "the list was left as it is")) << err;
    EXPECT_EQ(Cli({"keep", "list"}), kExitNotDeleted);
    EXPECT_EQ(ReadDwordForTest(ScratchKey(), "Keep Sites"), 1u);
}

TEST_F(CliProgramTest, NothingSelectedEndsWithThree)
{
    WriteConfig({{"first", false}, {"second", false}, {"third", false}});
    EXPECT_EQ(Cli({"erase"}), kExitNothingSelected);
    EXPECT_TRUE(Contains(err, "nothing is selected"));
    EXPECT_FALSE(Exists("vestrel.log"));
    WriteFile("vestrel.conf", "not a configuration");
    EXPECT_EQ(Cli({"preview", "--json"}), kExitNothingSelected)
        << "an unreadable configuration selects nothing";
    EXPECT_TRUE(Contains(out, "\"error\":\"nothing is selected: the selection in ")) << out;
    EXPECT_TRUE(Contains(out, "cannot be read")) << out;
}

// Without ids nobody confirms anything: a plug-in dropped in since the ticks were stored is listed as new and
// left out until its tick is stored or it is named.
TEST_F(CliProgramTest, WithoutIdsOnlyStoredTicksRunAndNewItemsAreListed)
{
    AddItem("4.aep", "dropped", "Dropped In");
    ASSERT_EQ(Cli({"list"}), kExitDone);
    EXPECT_TRUE(Contains(out, "[?] dropped")) << out;
    ASSERT_EQ(Cli({"list", "--json"}), kExitDone);
    EXPECT_TRUE(Contains(out, "\"id\":\"dropped\",\"page\":\"windows\",\"description\":\"Dropped In\","
                              "\"selected\":false,\"new\":true}"))
        << out;
    ASSERT_EQ(Cli({"erase", "--json"}), kExitDone) << err;
    EXPECT_TRUE(Contains(out, "\"newItems\":[{\"id\":\"dropped\",\"description\":\"Dropped In\"}]")) << out;
    EXPECT_TRUE(ItemUntouched("dropped"));
    EXPECT_TRUE(ItemErased("first"));
    EXPECT_EQ(RecordMessages().front(),
              "not erased, new: Dropped In (dropped); erased unattended once its tick is stored in Vestrel");

    WriteConfig({{"first", false}, {"second", false}, {"third", false}});
    EXPECT_EQ(Cli({"preview"}), kExitNothingSelected);
    EXPECT_TRUE(Contains(err, "new items, left out until ticked in Vestrel: dropped")) << err;
    ASSERT_EQ(Cli({"erase", "dropped"}), kExitDone) << "named, it runs";
    EXPECT_TRUE(ItemErased("dropped"));
}

// An organization's ticks rule over the stored ones in an unattended erase, list says which items and
// policies are managed, and an erase the policy refuses ends with its own code and removes nothing.
TEST_F(CliProgramTest, OrganizationTicksRuleTheEraseAndARefusedEraseEndsWithFour)
{
    const std::string key = ScratchKey() + "\\Policies";
    WriteStringsForTest(HKEY_CURRENT_USER, key, kTickedItemsPolicy, {"second", "not on this PC"});
    WriteStringsForTest(HKEY_CURRENT_USER, key, kUntickedItemsPolicy, {"first"});
    WriteDwordForTest(key, kAllowCommandLineErasePolicy, 0);
    policies = Policies::Read(key);

    ASSERT_EQ(Cli({"list", "--json"}), kExitDone);
    EXPECT_TRUE(Contains(out, "\"id\":\"first\",\"page\":\"windows\",\"description\":\"First Item\","
                              "\"selected\":false,\"managed\":true}"))
        << out;
    EXPECT_TRUE(Contains(out, "\"id\":\"third\",\"page\":\"windows\",\"description\":\"Third Item\","
                              "\"selected\":true}"))
        << out;
    EXPECT_TRUE(Contains(out,
                         "\"managed settings\":[\"Ticked Items\",\"Unticked Items\",\"Allow Command Line "
                         "Erase\"]"))
        << out;
    EXPECT_EQ(Cli({"erase", "third"}), kExitNotAllowed);
    EXPECT_TRUE(Contains(err, "your organization does not allow erasing from the command line")) << err;
    EXPECT_TRUE(ItemUntouched("first") && ItemUntouched("second") && ItemUntouched("third"));
    EXPECT_EQ(Cli({"preview"}), kExitDone) << "a preview removes nothing and stays allowed";

    policies.commandLineEraseAllowed = true;
    EXPECT_EQ(Cli({"erase", "third", "first"}), kExitNotAllowed) << "named, an unticked item still stays";
    EXPECT_TRUE(Contains(err, "your organization has unticked first")) << err;
    EXPECT_TRUE(ItemUntouched("first") && ItemUntouched("third"));
    ASSERT_EQ(Cli({"erase"}), kExitDone) << err;
    EXPECT_TRUE(ItemUntouched("first"));
    EXPECT_TRUE(ItemErased("second"));
    EXPECT_TRUE(ItemErased("third"));
}

TEST_F(CliProgramTest, ListShowsEveryFileWithItsSelectionOrItsFailure)
{
    AddItem("4.aep", "broken", "Broken", false);
    ASSERT_EQ(Cli({"list"}), kExitDone);
    EXPECT_TRUE(Contains(out, "[x] first"));
    EXPECT_TRUE(Contains(out, "[ ] second"));
    EXPECT_TRUE(Contains(out, "[!] 4.aep: node root->body->type not found"));
    ASSERT_EQ(Cli({"list", "--json"}), kExitDone);
    EXPECT_TRUE(Contains(out, "{\"file\":\"2.aep\",\"loaded\":true,\"id\":\"second\",\"page\":\"windows\","
                              "\"description\":\"Second Item\",\"selected\":false}"));
    EXPECT_TRUE(
        Contains(out, "{\"file\":\"4.aep\",\"loaded\":false,\"error\":\"node root->body->type not found\"}"));
    EXPECT_EQ(Cli({"preview", "broken"}), kExitBadUsage);
    EXPECT_TRUE(Contains(err,
                         "item broken: its plug-in file could not be loaded (4.aep: node root->body->type "
                         "not found)"))
        << err;
    WriteFile("plugin\\Mangled.aep", "<plugin><body><id>mangled</id>"); // no id to read: its name counts
    EXPECT_EQ(Cli({"erase", "mangled", "--json"}), kExitBadUsage);
    EXPECT_TRUE(
        Contains(out, "\"error\":\"item mangled: its plug-in file could not be loaded (Mangled.aep: "))
        << out;
}

TEST_F(CliProgramTest, AProgramThatCannotStartFailsTheErase)
{
    std::string text = PluginText("r", "Run Item", "windows", "no such program.exe");
    text.replace(text.find("delete-file"), 11, "run");
    WriteFile("plugin\\5.aep", text);
    EXPECT_EQ(Cli({"erase", "r", "--json"}), kExitNotDeleted);
    EXPECT_TRUE(Contains(out, "no such program.exe\",\"reason\":\"could not be started: ")) << out;
}

// A folder that is there but cannot be listed (a standard user may not list %windir%\\Temp) hides what it
// holds: it fails the erase as a file that could not go does, and the record file says so. A folder that
// is not there fails nothing. Under Wine a test running as root is denied no folder; a link to itself
// fails its listing just the same, only for another reason.
TEST_F(CliProgramTest, AFolderThatCannotBeListedFailsTheErase)
{
    ASSERT_TRUE(MakeLinkLoopForTest(PathOf("looped")));
    WriteFile("plugin\\5.aep", Replaced(PluginText("unlisted", "Unlisted", "windows", PathOf("looped")),
                                        "delete-file", "delete-directory"));
    WriteFile("plugin\\6.aep", Replaced(PluginText("gone", "Gone", "windows", PathOf("gone")), "delete-file",
                                        "delete-directory"));
    EXPECT_EQ(Cli({"erase", "gone", "--json"}), kExitDone) << out;
    EXPECT_EQ(Cli({"erase", "unlisted", "--json"}), kExitNotDeleted) << out;
    std::string folder = LowerCase(PathOf("looped\\")); // a loop has no spelling on disk to be had
    std::string quoted = JsonPath(folder);
    std::string reason = ErrorText(HRESULT_FROM_WIN32(ERROR_CANT_RESOLVE_FILENAME));
    EXPECT_TRUE(Contains(out, "\"errors\":[{\"path\":\"" + quoted + "\",\"reason\":\"" + reason + "\"}]"))
        << out;
    EXPECT_EQ(RecordMessages(),
              (std::vector<std::string>{"Gone done...", "Unlisted: could not list " + folder + ": " + reason,
                                        "Unlisted done..."}));
    RemoveFolderLinkForTest(PathOf("looped"));
}

// A script must be able to tell that an item whose program runs erased nothing.
TEST_F(CliProgramTest, PreviewShowsAnItemsWarningAndWhyItWasSkippedAndEndsWithOne)
{
    std::string text = ReadFile("plugin\\1.aep");
    text.insert(text.find("<parameters>"), "<warning>Takes tabs too.</warning>"
                                           "<running name=\"The Tests\">cli_tests.exe</running>");
    WriteFile("plugin\\1.aep", text);
    ASSERT_EQ(Cli({"preview", "first"}), kExitNotDeleted) << err;
    EXPECT_TRUE(Contains(out, "warning")) << out;
    EXPECT_TRUE(Contains(out, "Takes tabs too.")) << out;
    EXPECT_TRUE(Contains(out, "skipped: The Tests is running")) << out;
    ASSERT_EQ(Cli({"erase", "first", "--json"}), kExitNotDeleted) << err;
    EXPECT_TRUE(
        Contains(out, "\"warning\":\"Takes tabs too.\",\"skipped\":[\"skipped: The Tests is running\"]"))
        << out;
    EXPECT_TRUE(Exists("first\\one.tmp"));
}

// Asked to, erase closes the program first; one that refuses keeps its item skipped, with the reason.
TEST_F(CliProgramTest, EraseCanAskTheProgramsToCloseFirst)
{
    for (const char* mode : {"quits", "refuses"}) {
        SCOPED_TRACE(mode);
        const std::string folder = std::string("browser-") + mode;
        MakeFolder(folder);
        UniqueHandle program = StartWindowProgram(PathOf(folder), mode);
        ASSERT_TRUE(program);
        std::string text = ReadFile("plugin\\1.aep");
        WriteFile("plugin\\1.aep", Replaced(text, "<parameters>",
                                            "<running name=\"Browser\" folder=\"" + PathOf(folder) +
                                                "\">window_program.exe</running><parameters>"));
        WriteFile("first\\one.tmp", "x");
        EXPECT_EQ(Cli({"erase", "--close-programs", "first"}), mode[0] == 'q' ? kExitDone : kExitNotDeleted)
            << out << err;
        EXPECT_TRUE(Contains(err, "asking Browser to close")) << err;
        EXPECT_EQ(Exists("first\\one.tmp"), mode[0] == 'r');
        if (mode[0] == 'r') {
            EXPECT_TRUE(Contains(out, "skipped: Browser did not close")) << out;
        }
        TerminateProcess(program.get(), 0);
        WaitForSingleObject(program.get(), 5000);
        WriteFile("plugin\\1.aep", text);
    }
    EXPECT_EQ(ParseCommandLine({"preview", "--close-programs"}).error, "only erase takes --close-programs");
}

TEST_F(CliProgramTest, LongRunsTellTheirProgressOnTheErrorStream)
{
    ASSERT_EQ(Cli({"erase"}), kExitDone);
    EXPECT_TRUE(err.empty()) << "a quick run stays quiet";
    // Every reading after the first, which marks the start, is five seconds on.
    CliStreams streams{[](std::string_view) {}, [this](std::string_view text) { err += text; }};
    uint64_t readings = 0;
    CliProgram(Setup(), streams, [&readings] { return readings++ == 0 ? 0 : 5000; }).Run({"preview"});
    EXPECT_EQ(err, "[1/2] First Item\n[2/2] Third Item\n");
}

} // namespace
