#include "framework/Utf8.h"
#include "settings/KeepSites.h"
#include "settings/Policies.h"
#include "settings/Settings.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include <windows.h>

#include <string>

namespace {

class PoliciesTest : public SandboxTest {
protected:
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, ToWide(ScratchKey()).c_str());
        SandboxTest::TearDown();
    }

    void WriteNumber(HKEY root, const std::string& name, DWORD value) const
    {
        WriteRawForTest(root, ScratchKey(), name, REG_DWORD, &value, sizeof value);
    }
};

// An administrator's machine policy overrides what a user-level policy says, value by value; a value typed
// wrongly in the editor neither stops the program nor hides the other policies.
TEST_F(PoliciesTest, TheMachineWinsValueByValueAndAnUnreadableValueIsNamedAndIgnored)
{
    WriteStringsForTest(HKEY_CURRENT_USER, ScratchKey(), kTickedItemsPolicy, {"cookies", "history"});
    WriteNumber(HKEY_CURRENT_USER, kErasePeriodPolicy, 4);
    WriteNumber(HKEY_CURRENT_USER, kAllowRulesImportPolicy, 1);
    WriteStringsForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kTickedItemsPolicy, {"temp"});
    WriteStringsForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kUntickedItemsPolicy, {"temp", "recent"});
    WriteStringsForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kKeepSitesPolicy, {"intranet.example", ""});
    const wchar_t text[] = L"5";
    WriteRawForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kErasePeriodPolicy, REG_SZ, text, sizeof text);
    WriteNumber(HKEY_LOCAL_MACHINE, kAllowRulesImportPolicy, 0);
    WriteNumber(HKEY_LOCAL_MACHINE, kEnableSchedulePolicy, 7);
    WriteNumber(HKEY_CURRENT_USER, kSecureDeletionPolicy, 1);

    Policies policies = Policies::Read(ScratchKey());
    EXPECT_FALSE(policies.ForcedTick("cookies")) << "the machine's list replaces the user's";
    EXPECT_EQ(policies.ForcedTick("temp"), false) << "unticked wins over ticked";
    EXPECT_EQ(policies.ForcedTick("recent"), false);
    EXPECT_EQ(policies.KeepSites(), std::vector<std::string>{"intranet.example"});
    // The user's own sites to keep stay beside the organization's.
    WriteStringsForTest(HKEY_CURRENT_USER, ScratchKey(), kKeepSitesValue, {"mail.example.org"});
    EXPECT_EQ(SitesToKeep({"https://Intranet.example/", "mail.example.org"}, ScratchKey()),
              (std::vector<std::string>{"mail.example.org", "intranet.example"}));
    EXPECT_EQ(policies.erasePeriod, 4u) << "the unreadable machine value leaves the user's";
    EXPECT_FALSE(policies.enableSchedule);
    EXPECT_FALSE(policies.MayImportRules());
    EXPECT_TRUE(policies.MayEraseFromCommandLine());
    Settings settings;
    policies.ApplyTo(settings);
    EXPECT_EQ(settings.secureDeletion, 1u) << "every run overwrites, whatever the user chose";
    ASSERT_EQ(policies.problems.size(), 2u);
    EXPECT_EQ(policies.problems[1], "Policy HKEY_LOCAL_MACHINE\\" + ScratchKey() +
                                        "\\Erase Period is ignored: it must be a DWORD from 0 to 5.");

    RecordPolicyProblems(policies, PathOf("vestrel.log"));
    std::string record = ReadFile("vestrel.log");
    EXPECT_NE(record.find("Erase Period is ignored"), std::string::npos) << record;
    EXPECT_NE(record.find("Enable Schedule is ignored"), std::string::npos) << record;
}

TEST_F(PoliciesTest, NoPolicyKeyMeansNothingIsManaged)
{
    Policies policies = Policies::Read(ScratchKey() + "\\missing");
    EXPECT_FALSE(policies.Any());
    EXPECT_TRUE(policies.MayImportRules() && policies.MayChangePlugins() &&
                policies.MayEraseFromCommandLine());
    EXPECT_TRUE(policies.problems.empty());
}

} // namespace
