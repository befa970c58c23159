#include "app/StatisticsText.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "settings/Settings.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

const char* const kStatisticNames[] = {"Erased File Num", "Erased File Size", "Erased Register Num"};

// The program's own statistics, which the real vestrel-cli.exe stores, put back as they were.
class SavedStatistics {
public:
    SavedStatistics()
    {
        for (int i = 0; i < 3; ++i) {
            numbers_[i] = ReadQwordForTest(kSettingsKeyPath, kStatisticNames[i]);
            if (!numbers_[i])
                numbers_[i] = ReadDwordForTest(kSettingsKeyPath, kStatisticNames[i]);
        }
        lastErased_ = ReadStringForTest(kSettingsKeyPath, "Last Erased Time");
    }
    ~SavedStatistics()
    {
        for (int i = 0; i < 3; ++i) {
            if (numbers_[i])
                WriteQwordForTest(kSettingsKeyPath, kStatisticNames[i], *numbers_[i]);
            else
                DeleteValueForTest(kSettingsKeyPath, kStatisticNames[i]);
        }
        if (lastErased_)
            WriteStringForTest(kSettingsKeyPath, "Last Erased Time", *lastErased_);
        else
            DeleteValueForTest(kSettingsKeyPath, "Last Erased Time");
    }

private:
    std::optional<uint64_t> numbers_[3];
    std::optional<std::string> lastErased_;
};

// The built vestrel-cli.exe copied into the sandbox with a plug-in folder and a configuration of its
// own, so that it works on the sandbox's files alone; run as a script would, its output into files.
class CliExeTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        MakeFolder("app\\plugin");
        std::string programFolder = TestProgramFolder()[0] == 'T' ? "P:\\" : "Q:\\";
        ASSERT_TRUE(CopyFileForTest(programFolder + "vestrel-cli.exe", PathOf("app\\vestrel-cli.exe")));
        AddItem("one");
        AddItem("two");
        WriteFile("app\\Vestrel.conf", "<?xml version=\"1.0\"?><vestrel-config><erase-items><one>true</one>"
                                       "<two>true</two></erase-items></vestrel-config>");
    }

    void AddItem(const std::string& id) const
    {
        WriteFile("app\\plugin\\" + id + ".aep",
                  PluginText(id, id + " traces", "windows", PathOf(id + "\\*.*")));
        WriteFile(id + "\\a.tmp", std::string(700, 'a'));
        WriteFile(id + "\\日本語 😀.tmp", std::string(300, 'b'));
    }

    CliRun Run(const std::string& arguments) const
    {
        // Files of their own: a program that has ended may hold its handles a moment longer.
        std::string name = std::to_string(++runs_) + ".run";
        CliRun run;
        {
            UniqueHandle out = OutputFile(name + ".out");
            UniqueHandle err = OutputFile(name + ".err");
            UniqueHandle process = Start(arguments, out.get(), err.get());
            if (!process)
                return run;
            run.code = ExitCode(process.get());
        }
        run.out = ReadFile(name + ".out");
        run.err = ReadFile(name + ".err");
        return run;
    }

    // Starts vestrel-cli.exe with its output and errors going to the given inheritable handles.
    UniqueHandle Start(const std::string& arguments, HANDLE out, HANDLE err) const
    {
        std::string command = "\"";
        command += PathOf("app\\vestrel-cli.exe") + "\" " + arguments;
        std::wstring line = ToWide(command);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &process))
            return UniqueHandle();
        CloseHandle(process.hThread);
        return UniqueHandle(process.hProcess);
    }

    static int ExitCode(HANDLE process)
    {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process, &code);
        else
            TerminateProcess(process, code);
        return static_cast<int>(code);
    }

    UniqueHandle OutputFile(const std::string& relative) const
    {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        return UniqueHandle(CreateFileW(ToExtendedPath(PathOf(relative)).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS, 0,
                                        nullptr));
    }

    static bool Contains(const std::string& text, const std::string& part)
    {
        return text.find(part) != std::string::npos;
    }

    mutable int runs_ = 0;
};

TEST_F(CliExeTest, ExitCodesComeFromWhatHappened)
{
    SavedStatistics saved;
    {
        UniqueHandle held(CreateFileW(ToExtendedPath(PathOf("one\\a.tmp")).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        CliRun locked = Run("erase one");
        EXPECT_EQ(locked.code, 1) << locked.out << locked.err;
        EXPECT_TRUE(
            Contains(locked.out, "  not deleted" + std::string(15, ' ') + PathOf("one\\a.tmp") + ": "))
            << locked.out;
    }
    EXPECT_TRUE(Exists("one\\a.tmp"));
    EXPECT_EQ(Run("erase").code, 0);
    EXPECT_FALSE(Exists("one\\a.tmp"));
    EXPECT_FALSE(Exists("two\\a.tmp"));

    CliRun unknown = Run("preview one nosuch");
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(Contains(unknown.err, "unknown item id: nosuch"));
    EXPECT_EQ(Run("frobnicate").code, 2);

    WriteFile("app\\Vestrel.conf", "<?xml version=\"1.0\"?><vestrel-config><erase-items><one>false</one>"
                                   "<two>false</two></erase-items></vestrel-config>");
    CliRun nothing = Run("erase --json");
    EXPECT_EQ(nothing.code, 3);
    EXPECT_TRUE(Contains(nothing.out, "\"error\":\"nothing is selected"));
}

TEST_F(CliExeTest, EraseAddsToTheStatisticsTheWindowShowsAndWritesTheProgramsRecordFile)
{
    SavedStatistics saved;
    WriteDwordForTest(kSettingsKeyPath, "Erased File Num", 5);
    WriteDwordForTest(kSettingsKeyPath, "Erased File Size", 10000);
    CliRun run = Run("erase --json");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.out,
                         "\"totals\":{\"files\":4,\"bytes\":2000,\"registryEntries\":0,\"cookies\":0},"
                         "\"errors\":[]}"));

    // What the main window reads at start-up and paints under its lists.
    ProcessStatistics() = {};
    LoadSettings();
    EXPECT_EQ(FilesErasedLine(ProcessStatistics()), "Files Erased: 9;  Released HD Space: 11 KB; ");
    EXPECT_FALSE(ProcessStatistics().lastErasedText.empty());
    ProcessStatistics() = {};

    std::string record = ReadFile("app\\Vestrel.log");
    EXPECT_TRUE(Contains(record, "one traces done...\r\n"));
    EXPECT_TRUE(Contains(record, "two traces done...\r\n"));
    EXPECT_FALSE(Exists("app\\vestrel-cli.log"));
}

TEST_F(CliExeTest, PipedTextIsUtf8AndPreviewLeavesEverythingInPlace)
{
    SavedStatistics saved;
    WriteDwordForTest(kSettingsKeyPath, "Erased File Num", 5);
    CliRun run = Run("preview two");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, PathOf("two\\日本語 😀.tmp"))) << run.out;
    EXPECT_TRUE(Contains(run.out, "Total: 2 files, 1,000 bytes, 0 registry entries\n"));
    EXPECT_TRUE(Exists("two\\日本語 😀.tmp"));
    EXPECT_EQ(ReadDwordForTest(kSettingsKeyPath, "Erased File Num"), 5u);
    EXPECT_FALSE(Exists("app\\Vestrel.log"));
}

// A script reading vestrel-cli's output through a pipe sees its end when vestrel-cli exits, although a
// program of a "run" item is left running: that program holds none of vestrel-cli's handles.
TEST_F(CliExeTest, AProgramLeftRunningHoldsNoPipeOfTheCaller)
{
    SavedStatistics saved;
    ASSERT_TRUE(CopyFileForTest(TestProgramFolder() + "record_writer.exe", PathOf("app\\plugin\\slow.exe")));
    WriteFile("app\\plugin\\slow.sleep", "6000");
    WriteFile("app\\plugin\\slow.aep",
              Replaced(Replaced(PluginText("slow", "Slow", "windows", "slow.exe"), "delete-file", "run"),
                       "<parameters>", "<timeout-seconds>1</timeout-seconds><parameters>"));
    // Under Wine the first program to use the desktop starts the desktop's own process, which keeps that
    // program's standard handles for good: the test starts it, so that vestrel-cli does not.
    GetDesktopWindow();
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    UniqueHandle reading;
    UniqueHandle process;
    {
        UniqueHandle writing;
        ASSERT_TRUE(CreatePipe(reading.put(), writing.put(), &inherited, 0));
        SetHandleInformation(reading.get(), HANDLE_FLAG_INHERIT, 0);
        process = Start("erase slow", writing.get(), writing.get());
        ASSERT_TRUE(process);
    }
    std::string out;
    char buffer[4096];
    for (DWORD read = 0; ::ReadFile(reading.get(), buffer, sizeof buffer, &read, nullptr) && read;)
        out.append(buffer, read);
    EXPECT_FALSE(Exists("app\\plugin\\slow.seen")) << "the pipe stayed open until the program ended";
    EXPECT_EQ(ExitCode(process.get()), 1) << out;
    EXPECT_TRUE(Contains(out, "did not finish within 1 seconds; left running")) << out;
    for (int waited = 0; waited < 150 && !Exists("app\\plugin\\slow.seen"); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

} // namespace
