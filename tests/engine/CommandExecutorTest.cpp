#include "cli/RunReport.h"
#include "engine/CommandExecutor.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "framework/RegKey.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/CurrentFolder.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"
#include "settings/ProgramContext.h"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Environment(const wchar_t* name)
{
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length && length < 32768 ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

EraseItem Item(const std::string& command, std::vector<std::string> parameters)
{
    EraseItem item;
    item.command = command;
    item.parameters = std::move(parameters);
    item.loaded = true;
    return item;
}

void ExpectTally(const EraseTally& tally, uint64_t files, uint64_t bytes, uint64_t registry)
{
    EXPECT_EQ(tally.filesErased, files);
    EXPECT_EQ(tally.bytesReleased, bytes);
    EXPECT_EQ(tally.registryEntriesErased, registry);
}

TEST(ExpandParameter, LeadingTokenInAnyCase)
{
    std::string appData = Environment(L"APPDATA");
    std::string profile = Environment(L"USERPROFILE");
    ASSERT_FALSE(appData.empty() || profile.empty());
    EXPECT_EQ(ExpandParameter("%appdata%"), appData);
    EXPECT_EQ(ExpandParameter("%APPDATA%\\microsoft\\*.tmp"), appData + "\\microsoft\\*.tmp");
    EXPECT_EQ(ExpandParameter("%AppData%\\x"), appData + "\\x");
    EXPECT_EQ(ExpandParameter("%userhome%\\cookies"), profile + "\\cookies");
    EXPECT_EQ(ExpandParameter("%appdata%%userhome%"), appData + "%userhome%") << "only one token";
    for (const char* unchanged : {"%tmp%\\x", "%TMP%", "%appdata", "c:\\%appdata%", "", "%", "%%", "%%x"})
        EXPECT_EQ(ExpandParameter(unchanged), unchanged);
}

class CommandExecutorTest : public SandboxTest {
protected:
    // An executor that takes its programs from the sandbox and protects nothing but a folder in it.
    CommandExecutor SandboxExecutor(std::span<const BuiltInCleaner> cleaners = {},
                                    EraseOptions options = {}) const
    {
        return CommandExecutor({PathOf("plug ins\\"), ProtectedFolders({PathOf("profile")})}, cleaners,
                               options);
    }

    std::string RegistryPath(const std::string& tail) const
    {
        return "HKEY_CURRENT_USER\\" + ScratchKey() + "\\" + tail;
    }

    void SetValue(const std::string& tail, const std::string& name) const
    {
        RegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey() + "\\" + tail, KEY_ALL_ACCESS), ERROR_SUCCESS);
        ASSERT_EQ(key.SetDword(1, name), ERROR_SUCCESS);
    }

    // Copies the record writer into the sandbox's program folder under the given name.
    void InstallProgram(const std::string& name) const
    {
        MakeFolder("plug ins");
        ASSERT_TRUE(CopyFileForTest(TestProgramFolder() + "record_writer.exe", PathOf("plug ins\\" + name)));
    }
};

TEST_F(CommandExecutorTest, NothingToDoLeavesAZeroTally)
{
    EraseItem none = Item("delete-directory", {});
    none.tally = {1, 2, 3};
    EXPECT_TRUE(none.ExecuteItem(ProgramEraseContext()));
    ExpectTally(none.tally, 0, 0, 0);

    WriteFile("target\\a", "1");
    for (const char* command : {"Delete-Directory", "delete-folder", ""}) {
        EraseItem unknown = Item(command, {"%appdata%", PathOf("target")});
        unknown.tally = {1, 2, 3};
        EXPECT_TRUE(unknown.ExecuteItem(ProgramEraseContext()));
        ExpectTally(unknown.tally, 0, 0, 0);
        EXPECT_EQ(unknown.parameters[0], "%appdata%");
    }
    EXPECT_TRUE(Exists("target\\a"));
}

// A listener whose own work breaks at the first file, as a full disk or a lost pipe would break it.
class BreakingListener final : public SilentListener {
public:
    void OnFile(const std::string&, uint64_t) override { throw std::runtime_error("the listener broke"); }
    void OnItemFailure(const std::string& reason) override { failure = reason; }

    std::string failure;
};

TEST_F(CommandExecutorTest, AFailureInsideTheItemIsToldAndNotDone)
{
    WriteFile("target\\a.tmp", "123");
    EraseItem item = Item("delete-file", {PathOf("target\\*.tmp")});
    BreakingListener listener;
    EXPECT_FALSE(item.ExecuteItem(ProgramEraseContext(), {EraseMode::Preview, &listener}));
    EXPECT_EQ(listener.failure, "the listener broke");
}

TEST_F(CommandExecutorTest, FileCommandsCountAndKeepTheExpandedParameters)
{
    WriteFile("target\\a.tmp", "123");
    WriteFile("target\\b.txt", "12");
    WriteFile("target\\sub\\c.tmp", "1");
    WriteFile("folder\\d", "1234");
    WriteFile("folder\\sub\\e", "12345");
    std::string missing = "%APPDATA%\\vestrel test " + std::to_string(GetCurrentProcessId()) + "\\*.none";

    EraseItem files = Item("delete-file", {PathOf("target\\*.tmp"), missing});
    EXPECT_TRUE(files.ExecuteItem(ProgramEraseContext()));
    ExpectTally(files.tally, 1, 3, 0);
    EXPECT_EQ(files.parameters[1], Environment(L"APPDATA") + missing.substr(9));
    EXPECT_TRUE(Exists("target\\b.txt"));
    EXPECT_TRUE(Exists("target\\sub\\c.tmp")) << "sub does not match the pattern";

    EraseItem folder = Item("delete-directory", {PathOf("folder"), PathOf("target\\")});
    EXPECT_TRUE(folder.ExecuteItem(ProgramEraseContext()));
    ExpectTally(folder.tally, 4, 12, 0);
    EXPECT_TRUE(Exists("folder"));
    EXPECT_FALSE(Exists("folder\\sub"));

    WriteFile("folder\\again", "1");
    EXPECT_TRUE(folder.ExecuteItem(ProgramEraseContext()));
    ExpectTally(folder.tally, 1, 1, 0);
}

TEST_F(CommandExecutorTest, ProtectedFoldersAreLeftAlone)
{
    WriteFile("profile\\canary", "canary");
    WriteFile("profile\\cache\\old", "12");
    WriteFile("beside", "canary");
    CommandExecutor executor = SandboxExecutor();

    EraseItem folders = Item("delete-directory", {PathOf("profile"), PathOf("profile\\cache\\.."), Folder()});
    executor.Execute(folders);
    EraseItem files = Item("delete-file", {PathOf("profile\\*.*"), PathOf("canary")});
    executor.Execute(files);
    ExpectTally(folders.tally, 0, 0, 0);
    ExpectTally(files.tally, 0, 0, 0);
    EXPECT_EQ(ReadFile("profile\\canary"), "canary");
    EXPECT_EQ(ReadFile("beside"), "canary");

    EraseItem inside = Item("delete-directory", {PathOf("profile\\cache")});
    executor.Execute(inside);
    ExpectTally(inside.tally, 1, 2, 0);
    EXPECT_EQ(ReadFile("profile\\canary"), "canary");
}

// In the sandbox prefix's own system folders, in subfolders made here: nothing of the system is touched.
TEST(SystemTrees, InsideTheSystemFolderNothingGoesWhileWindowsTempIsErased)
{
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(GetSystemDirectoryW(folder, MAX_PATH));
    std::string tag = "\\vestrel test " + std::to_string(GetCurrentProcessId());
    std::string system = ToUtf8(folder) + tag;
    ASSERT_TRUE(GetWindowsDirectoryW(folder, MAX_PATH));
    std::string temp = ToUtf8(folder) + "\\Temp" + tag;
    CreateDirectoryW(ToWide(ToUtf8(folder) + "\\Temp").c_str(), nullptr);
    for (const std::string& made : {system, temp}) {
        ASSERT_TRUE(CreateDirectoryW(ToWide(made).c_str(), nullptr)) << made;
        UniqueHandle file(CreateFileW(ToWide(made + "\\canary.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        EXPECT_TRUE(file && WriteFile(file.get(), "canary", 6, &written, nullptr)) << made;
    }

    EraseItem folders = Item("delete-directory", {system, temp});
    folders.ExecuteItem(ProgramEraseContext());
    EraseItem files = Item("delete-file", {system + "\\*.txt"});
    files.ExecuteItem(ProgramEraseContext());
    ExpectTally(folders.tally, 1, 6, 0);
    ExpectTally(files.tally, 0, 0, 0);
    std::wstring canary = ToWide(system + "\\canary.txt");
    EXPECT_NE(GetFileAttributesW(canary.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(ToWide(temp + "\\canary.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(canary.c_str());
    RemoveDirectoryW(ToWide(system).c_str());
    RemoveDirectoryW(ToWide(temp).c_str());
}

TEST_F(CommandExecutorTest, NameWithoutFolderIsRefusedAsTheCurrentDrivesRoot)
{
    std::string name = "vestrel-canary-" + std::to_string(GetCurrentProcessId()) + ".txt";
    WriteFile(name, "canary");
    CurrentFolderForTest current(Folder());
    ASSERT_TRUE(current.entered());
    EraseItem item = Item("delete-file", {name});
    item.ExecuteItem(ProgramEraseContext());
    ExpectTally(item.tally, 0, 0, 0);
    EXPECT_EQ(ReadFile(name), "canary");
}

TEST_F(CommandExecutorTest, RegistryCommandsCountEachEntry)
{
    SetValue("keys\\one\\nested\\deeper", "v");
    SetValue("keys\\two", "v");
    EraseItem keys = Item("delete-register-key", {RegistryPath("keys\\one"), RegistryPath("keys\\missing"),
                                                  RegistryPath("keys\\two")});
    EXPECT_TRUE(keys.ExecuteItem(ProgramEraseContext()));
    ExpectTally(keys.tally, 0, 0, 2);

    for (const char* name : {"a", "b", "c", "single"})
        SetValue("values", name);
    SetValue("other", "kept");
    EraseItem values =
        Item("delete-register-value",
             {RegistryPath("values\\single"), RegistryPath("values\\*"), RegistryPath("other\\none")});
    EXPECT_TRUE(values.ExecuteItem(ProgramEraseContext()));
    ExpectTally(values.tally, 0, 0, 4);
    EXPECT_EQ(values.parameters[1], RegistryPath("values\\*"));
}

TEST_F(CommandExecutorTest, RunReadsTheRecordOfEachProgramAfterItEnded)
{
    InstallProgram("writer.exe");
    InstallProgram("silent.exe");
    WriteFile("plug ins\\writer.record",
              "[log]\r\nerased-file-num=3\r\nerased-file-size = 1000\r\nerased-register-num=2\r\n");
    WriteFile("plug ins\\missing.log", "[log]\nerased-file-num=4\n"); // never read: nothing ran
    EraseItem item = Item("run", {"writer.exe", "silent.exe", "missing.exe"});

    SandboxExecutor().Execute(item);
    ExpectTally(item.tally, 3, 1000, 2);
    EXPECT_TRUE(Exists("plug ins\\silent.seen"));
    EXPECT_FALSE(Exists("plug ins\\silent.log"));
    std::string seen = ReadFile("plug ins\\writer.seen");
    EXPECT_EQ(seen + (seen.ends_with("\\") ? "" : "\\"), PathOf("plug ins\\"));

    SandboxExecutor().Execute(item);
    ExpectTally(item.tally, 3, 1000, 2);
}

// A program that cannot start, a quote that would end the quoted path, a program that outlives its
// plug-in's limit and one that wrote no record this time: none adds what an old record file says.
TEST_F(CommandExecutorTest, RunTellsOfFailedProgramsAndReadsNoOldRecord)
{
    InstallProgram("slow.exe");
    InstallProgram("quiet.exe");
    WriteFile("plug ins\\slow.sleep", "4000");
    const char* old = "[log]\nerased-file-num=100000\n";
    for (const char* record : {"plug ins\\missing.log", "plug ins\\slow.log", "plug ins\\quiet.log"})
        WriteFile(record, old);
    {
        UniqueHandle quiet(CreateFileW(ToExtendedPath(PathOf("plug ins\\quiet.log")).c_str(),
                                       FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
        time.QuadPart -= 36'000'000'000ull; // an hour
        FILETIME hourAgo{time.LowPart, time.HighPart};
        ASSERT_TRUE(SetFileTime(quiet.get(), nullptr, nullptr, &hourAgo));
    }
    WriteFile("plugin.aep", PluginText("slow", "Slow", "windows", "x"));
    std::string text = ReadFile("plugin.aep");
    text.replace(text.find("</body>"), 7, "<timeout-seconds> 1 </timeout-seconds></body>");
    WriteFile("plugin.aep", text);
    EraseItem item;
    ASSERT_TRUE(item.LoadFromFile(PathOf("plugin.aep"), 6.1));
    EXPECT_EQ(item.timeoutSeconds, 1u);
    item.command = "run";
    item.parameters = {"missing.exe", "quo\"te.exe", "slow.exe", "quiet.exe"};

    ItemReport report;
    ItemRecorder recorder(report);
    SandboxExecutor({}, EraseOptions{EraseMode::Erase, &recorder}).Execute(item);
    ExpectTally(item.tally, 0, 0, 0);
    ASSERT_EQ(report.failures.size(), 2u);
    EXPECT_EQ(report.failures[0].path, PathOf("plug ins\\missing.exe"));
    EXPECT_TRUE(report.failures[0].reason.starts_with("could not be started: ")) << report.failures[0].reason;
    EXPECT_EQ(report.failures[1].path, PathOf("plug ins\\slow.exe"));
    EXPECT_EQ(report.failures[1].reason, "did not finish within 1 seconds; left running");
    EXPECT_EQ(report.refused, (std::vector<std::string>{PathOf("plug ins\\quo\"te.exe")}));
    EXPECT_TRUE(Exists("plug ins\\quiet.seen"));

    for (int waited = 0; waited < 100 && !Exists("plug ins\\slow.seen"); ++waited)
        Sleep(100); // left running: let it end before the sandbox goes
    EXPECT_TRUE(Exists("plug ins\\slow.seen"));

    for (const char* limit : {"0", "ten", "-5", "99999999999", ""}) {
        std::string other = text;
        other.replace(other.find("> 1 <"), 5, std::string(">") + limit + "<");
        WriteFile("plugin.aep", other);
        ASSERT_TRUE(item.LoadFromFile(PathOf("plugin.aep"), 6.1));
        EXPECT_EQ(item.timeoutSeconds, 600u) << limit;
    }
}

// "..\\marker.exe" once started a program beside the plug-in folder; from the install folder the system's
// cmd.exe would have been in reach as well.
TEST_F(CommandExecutorTest, RunStartsOnlyProgramsThatLieInsideThePluginFolder)
{
    MakeFolder("plug ins\\tools");
    InstallProgram("tools\\inner.exe");
    ASSERT_TRUE(CopyFileForTest(TestProgramFolder() + "record_writer.exe", PathOf("marker.exe")));
    MakeFolder("outside");
    ASSERT_TRUE(CopyFileForTest(TestProgramFolder() + "record_writer.exe", PathOf("outside\\linked.exe")));
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("plug ins\\link"), PathOf("outside")));
    EraseItem item = Item("run", {"..\\marker.exe", "tools\\..\\..\\marker.exe", "tools/../../marker.exe",
                                  PathOf("marker.exe"), "link\\linked.exe", "tools\\inner.exe"});
    ItemReport report;
    ItemRecorder recorder(report);
    SandboxExecutor({}, EraseOptions{EraseMode::Erase, &recorder}).Execute(item);
    RemoveFolderLinkForTest(PathOf("plug ins\\link"));

    EXPECT_FALSE(Exists("marker.seen"));
    EXPECT_FALSE(Exists("outside\\linked.seen"));
    EXPECT_TRUE(Exists("plug ins\\tools\\inner.seen")) << "a subfolder of the plug-in folder is inside it";
    ASSERT_EQ(report.failures.size(), 5u);
    for (const Failure& failure : report.failures)
        EXPECT_EQ(failure.reason, "refused: it does not lie inside the plug-in folder") << failure.path;
}

// A count read back must be a plain number a reader can hold exactly: -5 bytes once added 4,294,967,291.
TEST_F(CommandExecutorTest, RunReadsNoRecordWithACountOutOfRange)
{
    InstallProgram("writer.exe");
    EraseItem item = Item("run", {"writer.exe"});
    for (const char* count : {"-5", "abc", "12x", "9007199254740993", "99999999999999999999999"}) {
        WriteFile("plug ins\\writer.record", std::string("[log]\nerased-file-num=3\nerased-file-size=") +
                                                 count + "\nerased-register-num=1\n");
        ItemReport report;
        ItemRecorder recorder(report);
        SandboxExecutor({}, EraseOptions{EraseMode::Erase, &recorder}).Execute(item);
        ExpectTally(item.tally, 0, 0, 0);
        ASSERT_EQ(report.failures.size(), 1u) << count;
        EXPECT_TRUE(report.failures[0].reason.starts_with("left a record file "))
            << report.failures[0].reason;
    }
    WriteFile("plug ins\\writer.record", "[log]\nerased-file-num=3\nerased-file-size=9007199254740992\n");
    SandboxExecutor().Execute(item);
    ExpectTally(item.tally, 3, 9007199254740992ull, 0);
}

// A path in quotes, so that its blanks do not end it.
std::string Quoted(const std::string& path)
{
    std::string quoted(1, '"');
    quoted += path;
    quoted += '"';
    return quoted;
}

TEST_F(CommandExecutorTest, RunProgramStartsAndWaitsAsAsked)
{
    InstallProgram("writer.exe");
    std::string program = Quoted(PathOf("plug ins\\writer.exe"));
    EXPECT_TRUE(RunProgram(program, WaitMode::Exit, Folder()));
    EXPECT_EQ(ReadFile("plug ins\\writer.seen") + "\\", Folder());
    EXPECT_FALSE(RunProgram(Quoted(PathOf("missing.exe")), WaitMode::Exit, Folder()));
    DeleteFileW(ToExtendedPath(PathOf("plug ins\\writer.seen")).c_str());
    EXPECT_TRUE(RunProgram(program + " " + std::string(2000, 'x'), WaitMode::Exit, Folder()));
    EXPECT_TRUE(Exists("plug ins\\writer.seen"));
    EXPECT_FALSE(RunProgram(program, WaitMode::Exit, PathOf("no such folder")));
}

TEST_F(CommandExecutorTest, AdvanceRunsTheNamedCleanersInOrder)
{
    static std::vector<std::string> order;
    order.clear();
    const BuiltInCleaner cleaners[] = {
        {"delete-temp-files",
         [](EraseTally& tally, const EraseOptions&) {
             order.push_back("temp");
             tally.filesErased += 2;
             tally.bytesReleased += 20;
         }},
        {"empty-recycle-bin",
         [](EraseTally& tally, const EraseOptions&) {
             order.push_back("bin");
             tally.filesErased += 7;
             tally.bytesReleased += 70;
         }},
    };
    EraseItem item =
        Item("advance", {"empty-recycle-bin", "no-such-cleaner", "Delete-Temp-Files", "delete-temp-files"});
    SandboxExecutor(cleaners).Execute(item);
    EXPECT_EQ(order, (std::vector<std::string>{"bin", "temp"}));
    ExpectTally(item.tally, 9, 90, 0);

    EraseItem unknown = Item("advance", {"no-such-cleaner"});
    EXPECT_TRUE(unknown.ExecuteItem(ProgramEraseContext()));
    ExpectTally(unknown.tally, 0, 0, 0);
}

} // namespace
