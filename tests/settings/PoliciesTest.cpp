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
    EXPECT_EQ(policies.ForcedTick("cookies"), true) << "the machine says nothing of it: the user's stands";
    EXPECT_EQ(policies.ForcedTick("temp"), false) << "within one level, unticked wins over ticked";
    EXPECT_EQ(policies.ForcedTick("recent"), false);
    EXPECT_EQ(policies.KeepSites().sites, std::vector<std::string>{"intranet.example"});
    // The user's own sites to keep stay beside the organization's.
    WriteStringsForTest(HKEY_CURRENT_USER, ScratchKey(), kKeepSitesValue, {"mail.example.org"});
    EXPECT_EQ(
        SitesToKeep(NormalisedSites({"https://Intranet.example/", "mail.example.org"}), ScratchKey()).sites,
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

// Where the machine and the user disagree about an id, the machine decides, whichever list either uses.
TEST_F(PoliciesTest, TheMachinesTickOrUntickOfAnIdStandsOverTheUsers)
{
    WriteStringsForTest(HKEY_CURRENT_USER, ScratchKey(), kUntickedItemsPolicy, {"firefox-cookies", "temp"});
    WriteStringsForTest(HKEY_CURRENT_USER, ScratchKey(), kTickedItemsPolicy, {"history", "recent"});
    WriteStringsForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kTickedItemsPolicy, {"firefox-cookies"});
    WriteStringsForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kUntickedItemsPolicy, {"history"});
    Policies policies = Policies::Read(ScratchKey());
    EXPECT_EQ(policies.ForcedTick("firefox-cookies"), true);
    EXPECT_EQ(policies.ForcedTick("history"), false);
    EXPECT_EQ(policies.ForcedTick("temp"), false) << "the machine names it not: the user's untick stands";
    EXPECT_EQ(policies.ForcedTick("recent"), true);
    EXPECT_FALSE(policies.ForcedTick("other"));
}

// A policy list of sites is what the administrator typed: one REG_SZ is a list of one, an internationalised
// name counts in its ASCII form, an entry that is no host name is named; a value of another type is no
// empty list but an unreadable one.
TEST_F(PoliciesTest, PolicySitesAreReadAsTypedAndAnUnreadableListIsNoEmptyOne)
{
    const wchar_t one[] = L"Intranet.Example";
    WriteRawForTest(HKEY_CURRENT_USER, ScratchKey(), kKeepSitesPolicy, REG_SZ, one, sizeof one);
    EXPECT_EQ(Policies::Read(ScratchKey()).KeepSites().sites, std::vector<std::string>{"intranet.example"});

    WriteStringsForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kKeepSitesPolicy,
                        {"b\xC3\xBC"
                         "cher.de",
                         "not a host", "example.com"});
    Policies policies = Policies::Read(ScratchKey());
    EXPECT_EQ(policies.KeepSites().sites, (std::vector<std::string>{"xn--bcher-kva.de", "example.com"}));
    EXPECT_TRUE(policies.KeepSites().problem.empty());
    ASSERT_EQ(policies.problems.size(), 1u);
    EXPECT_NE(policies.problems[0].find("\"not a host\" is ignored"), std::string::npos)
        << policies.problems[0];

    for (DWORD type : {REG_DWORD, REG_BINARY, REG_EXPAND_SZ}) {
        DWORD number = 1;
        WriteRawForTest(HKEY_LOCAL_MACHINE, ScratchKey(), kKeepSitesPolicy, type, &number, sizeof number);
        policies = Policies::Read(ScratchKey());
        EXPECT_NE(policies.KeepSites().problem.find("cannot be read"), std::string::npos) << type;
        EXPECT_TRUE(policies.Any());
        EXPECT_NE(SitesToKeep(policies.KeepSites(), ScratchKey()).problem, "") << type;
    }
}

// A key whose empty DACL lets nobody read it; its owner may still put a DACL back, and so delete it.
class DeniedKey {
public:
    explicit DeniedKey(const std::string& path) : path_(ToWide(path))
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        SetDacl(&emptyDacl_);
    }
    ~DeniedKey()
    {
        SetDacl(nullptr);
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }

private:
    void SetDacl(ACL* dacl)
    {
        InitializeAcl(&emptyDacl_, sizeof emptyDacl_, ACL_REVISION);
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE);
        RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &descriptor);
    }

    std::wstring path_;
    HKEY key_ = nullptr;
    ACL emptyDacl_{};
};

// A list that is there but cannot be read (a value of another type, a key nobody may read) is no empty
// list, and adding or removing a site leaves it as it is; a REG_SZ is a list of one.
TEST_F(PoliciesTest, AnUnreadableOwnListIsNeitherEmptyNorReplaced)
{
    const std::string key = ScratchKey() + "\\Setting";
    DWORD number = 7;
    WriteRawForTest(HKEY_CURRENT_USER, key, kKeepSitesValue, REG_DWORD, &number, sizeof number);
    KeepSiteList stored = ReadKeepSites(key);
    EXPECT_NE(stored.problem.find("Keep Sites is REG_DWORD"), std::string::npos) << stored.problem;
    EXPECT_EQ(AddKeepSite("new.net", key), KeepSiteChange::Unreadable);
    EXPECT_EQ(RemoveKeepSite("example.com", key), KeepSiteChange::Unreadable);
    EXPECT_EQ(ReadDwordForTest(key, kKeepSitesValue), 7u);
    EXPECT_NE(SitesToKeep({}, key).problem, "");

    const wchar_t one[] = L"Example.com";
    WriteRawForTest(HKEY_CURRENT_USER, key, kKeepSitesValue, REG_SZ, one, sizeof one);
    EXPECT_EQ(ReadKeepSites(key).sites, std::vector<std::string>{"example.com"});
    EXPECT_EQ(AddKeepSite("new.net", key), KeepSiteChange::Changed);
    EXPECT_EQ(ReadKeepSites(key).sites, (std::vector<std::string>{"example.com", "new.net"}));
    EXPECT_TRUE(ReadKeepSites(ScratchKey() + "\\Missing").problem.empty()) << "no list is an empty one";

    DeniedKey denied(ScratchKey() + "\\Denied");
    stored = ReadKeepSites(ScratchKey() + "\\Denied");
    if (stored.problem.empty())
        GTEST_SKIP() << "this system lets everyone read a key with an empty DACL";
    EXPECT_NE(stored.problem.find("cannot be read"), std::string::npos);
    EXPECT_EQ(AddKeepSite("new.net", ScratchKey() + "\\Denied"), KeepSiteChange::Unreadable);
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
