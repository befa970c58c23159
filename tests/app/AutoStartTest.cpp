#include "settings/AppPaths.h"
#include "app/AutoStart.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include <sstream>
#include <vector>

namespace {

class AutoStartTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        userList_ = ScratchKey() + "\\UserRun";
        machineList_ = ScratchKey() + "\\MachineRun";
        machine32List_ = ScratchKey() + "\\Machine32Run";
        lists_ = {"HKEY_CURRENT_USER\\" + userList_, "HKEY_CURRENT_USER\\" + machineList_,
                  "HKEY_CURRENT_USER\\" + machine32List_};
    }

    std::optional<std::string> UserEntry() const { return ReadStringForTest(userList_, GetAppName()); }
    std::optional<std::string> MachineEntry() const { return ReadStringForTest(machineList_, GetAppName()); }

    std::string userList_;
    std::string machineList_;
    std::string machine32List_;
    RunLists lists_;
};

TEST_F(AutoStartTest, TheEntryOfARenamedExecutableIsNamedAfterItAndHoldsItsPath)
{
    MakeFolder("Apps");
    std::string exe = PathOf("Apps\\clean.exe");
    ASSERT_TRUE(CopyFileForTest(TestProgramFolder() + "app_services_probe.exe", exe));
    ASSERT_EQ(RunAndWait("\"" + exe + "\" \"" + PathOf("report.txt") + "\" \"" + lists_.user + "\""), 0);
    EXPECT_NE(ReadFile("report.txt").find("enabled\n"), std::string::npos);
    EXPECT_EQ(ValueNamesForTest(userList_), (std::vector<std::string>{"clean"}));
    // Quoted, without arguments.
    EXPECT_EQ(ReadStringForTest(userList_, "clean"), "\"" + Folder() + "Apps\\clean.exe\"");
}

TEST_F(AutoStartTest, EnableWritesThePerUserListOnlyAndCreatesIt)
{
    EXPECT_TRUE(EnableAutoStart(lists_));
    EXPECT_EQ(UserEntry(), "\"" + GetAppFolder() + GetAppName() + ".exe\"");
    EXPECT_FALSE(KeyExistsForTest(machineList_));
}

TEST_F(AutoStartTest, AnOlderUnquotedEntryCountsAndIsReplaced)
{
    WriteStringForTest(userList_, GetAppName(), GetAppFolder() + GetAppName() + ".exe");
    EXPECT_TRUE(IsAutoStartEnabled(lists_));
    EXPECT_TRUE(EnableAutoStart(lists_));
    EXPECT_EQ(ValueNamesForTest(userList_), (std::vector<std::string>{GetAppName()}));
    EXPECT_EQ(UserEntry(), "\"" + GetAppFolder() + GetAppName() + ".exe\"");
}

TEST_F(AutoStartTest, EnableFailsWhenTheListCannotBeOpened)
{
    lists_.user = "HKCU\\" + userList_;
    EXPECT_FALSE(EnableAutoStart(lists_));
    EXPECT_FALSE(KeyExistsForTest(userList_));
}

TEST_F(AutoStartTest, EitherListMakesItEnabledWhateverTheData)
{
    EXPECT_FALSE(IsAutoStartEnabled(lists_));
    WriteStringForTest(machineList_, GetAppName(), "D:\\other\\program.exe");
    EXPECT_TRUE(IsAutoStartEnabled(lists_));
    DeleteValueForTest(machineList_, GetAppName());
    WriteStringForTest(userList_, GetAppName(), "");
    EXPECT_TRUE(IsAutoStartEnabled(lists_));
}

TEST_F(AutoStartTest, AnEntryOfAnotherNameDoesNotCount)
{
    WriteStringForTest(userList_, GetAppName() + "2", GetAppFolder() + GetAppName() + ".exe");
    EXPECT_FALSE(IsAutoStartEnabled(lists_));
    EXPECT_FALSE(DisableAutoStart(lists_));
    EXPECT_EQ(ValueNamesForTest(userList_), (std::vector<std::string>{GetAppName() + "2"}));
}

TEST_F(AutoStartTest, DisableRemovesBothAndReportsThePerUserRemoval)
{
    WriteStringForTest(userList_, GetAppName(), "x");
    WriteStringForTest(machineList_, GetAppName(), "x");
    EXPECT_TRUE(DisableAutoStart(lists_));
    EXPECT_FALSE(UserEntry());
    EXPECT_FALSE(MachineEntry());
    EXPECT_FALSE(IsAutoStartEnabled(lists_));

    WriteStringForTest(machineList_, GetAppName(), "x");
    EXPECT_FALSE(DisableAutoStart(lists_));
    EXPECT_FALSE(MachineEntry());

    // An older 32-bit Vestrel's machine-wide entry counts and goes as well.
    WriteStringForTest(machine32List_, GetAppName(), "x");
    EXPECT_TRUE(IsAutoStartEnabled(lists_));
    DisableAutoStart(lists_);
    EXPECT_FALSE(ReadStringForTest(machine32List_, GetAppName()));
}

} // namespace
