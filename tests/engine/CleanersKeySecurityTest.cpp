#include "engine/registry/FullAccessDescriptor.h"
#include "engine/registry/KeyDacl.h"
#include "engine/registry/UserSid.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string StandardSidText(PSID sid)
{
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return {};
    std::string result = ToUtf8(text);
    LocalFree(text);
    return result;
}

struct SidFromText {
    explicit SidFromText(const wchar_t* text) { ConvertStringSidToSidW(text, &sid); }
    ~SidFromText() { LocalFree(sid); }
    PSID sid = nullptr;
};

TEST(CleanersUserSid, CurrentUserTextIsTheStandardOne)
{
    UserSid user = UserSid::OfCurrentProcess();
    ASSERT_FALSE(user.empty());
    EXPECT_TRUE(IsValidSid(user.get()));
    EXPECT_EQ(user.Text(), StandardSidText(user.get()));
    EXPECT_EQ(user.Text().rfind("S-1-5-", 0), 0u) << user.Text();
}

TEST(CleanersUserSid, TextOfWellKnownSids)
{
    for (const wchar_t* text : {L"S-1-5-18", L"S-1-1-0", L"S-1-16-12288", L"S-1-5-21-1-2-3-4294967295"}) {
        SidFromText sid(text);
        ASSERT_TRUE(sid.sid);
        EXPECT_EQ(SidText(sid.sid), ToUtf8(text));
    }
    EXPECT_EQ(SidText(nullptr), "");
}

TEST(CleanersUserSid, LargeAuthorityKeepsItsLastByte)
{
    // Authority 258, which the standard text writes whole (S-1-258-7).
    SID_IDENTIFIER_AUTHORITY authority = {{0, 0, 0, 0, 1, 2}};
    PSID sid = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&authority, 1, 7, 0, 0, 0, 0, 0, 0, 0, &sid));
    EXPECT_EQ(SidText(sid), "S-1-2-7");
    FreeSid(sid);
}

// The ACEs of a descriptor's DACL as (SID text, mask, flags).
struct Ace {
    std::string sid;
    ACCESS_MASK mask;
    BYTE flags;
    bool operator==(const Ace&) const = default;
};

std::vector<Ace> DaclAces(PSECURITY_DESCRIPTOR descriptor)
{
    std::vector<Ace> aces;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ACL* dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
        return aces;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) ||
            ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        aces.push_back({SidText(&ace->SidStart), ace->Mask, ace->Header.AceFlags});
    }
    return aces;
}

TEST(CleanersFullAccessDescriptor, GivesTheUserThenTheSystemFullInheritedAccess)
{
    UserSid user = UserSid::OfCurrentProcess();
    FullAccessDescriptor descriptor(user.get());
    ASSERT_TRUE(descriptor.get());
    EXPECT_TRUE(IsValidSecurityDescriptor(descriptor.get()));
    const BYTE inherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    std::vector<Ace> expected = {{user.Text(), KEY_ALL_ACCESS, inherited},
                                 {"S-1-5-18", KEY_ALL_ACCESS, inherited}};
    EXPECT_EQ(DaclAces(descriptor.get()), expected);
}

TEST(CleanersFullAccessDescriptor, NoUserNoDescriptor)
{
    FullAccessDescriptor descriptor(nullptr);
    EXPECT_EQ(descriptor.get(), nullptr);
}

// A DACL that no cleaner writes: the user may read and write, everyone may read.
class CleanersKeyDacl : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        user_ = UserSid::OfCurrentProcess();
        std::wstring text = L"D:(A;;KA;;;" + ToWide(user_.Text()) + L")(A;;KR;;;WD)";
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                                         &marker_, nullptr));
    }
    void TearDown() override
    {
        LocalFree(marker_);
        SandboxTest::TearDown();
    }

    void MakeKey(const std::string& path)
    {
        RegKeyHandle key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
    }

    std::vector<Ace> AcesOf(const std::string& path)
    {
        std::vector<BYTE> dacl = GetKeyDacl(HKEY_CURRENT_USER, path);
        return dacl.empty() ? std::vector<Ace>() : DaclAces(dacl.data());
    }

    UserSid user_;
    PSECURITY_DESCRIPTOR marker_ = nullptr;
};

TEST_F(CleanersKeyDacl, SavedDaclGoesBackUnchanged)
{
    MakeKey(ScratchKey());
    ASSERT_TRUE(SetKeyDacl(HKEY_CURRENT_USER, ScratchKey(), marker_));
    std::vector<Ace> before = AcesOf(ScratchKey());
    ASSERT_EQ(before, DaclAces(marker_));

    std::vector<BYTE> saved = GetKeyDacl(HKEY_CURRENT_USER, ScratchKey());
    ASSERT_FALSE(saved.empty());
    FullAccessDescriptor open(user_.get());
    ASSERT_TRUE(SetKeyDacl(HKEY_CURRENT_USER, ScratchKey(), open.get()));
    EXPECT_EQ(AcesOf(ScratchKey()), DaclAces(open.get()));

    ASSERT_TRUE(SetKeyDacl(HKEY_CURRENT_USER, ScratchKey(), saved.data()));
    EXPECT_EQ(AcesOf(ScratchKey()), before);
}

TEST_F(CleanersKeyDacl, TreeReachesEveryDepthAndNothingBeside)
{
    std::string top = ScratchKey() + "\\top";
    for (const char* path : {"\\top\\a\\deep\\deeper", "\\top\\b", "\\beside"}) {
        MakeKey(ScratchKey() + path);
        ASSERT_TRUE(SetKeyDacl(HKEY_CURRENT_USER, ScratchKey() + path, marker_));
    }
    FullAccessDescriptor open(user_.get());
    SetKeyDaclTree(HKEY_CURRENT_USER, top, open.get());
    for (const char* path : {"\\top", "\\top\\a", "\\top\\a\\deep", "\\top\\a\\deep\\deeper", "\\top\\b"})
        EXPECT_EQ(AcesOf(ScratchKey() + path), DaclAces(open.get())) << path;
    EXPECT_EQ(AcesOf(ScratchKey() + "\\beside"), DaclAces(marker_));
}

TEST_F(CleanersKeyDacl, MissingKeyHasNoDaclAndTakesNone)
{
    EXPECT_TRUE(GetKeyDacl(HKEY_CURRENT_USER, ScratchKey() + "\\missing").empty());
    FullAccessDescriptor open(user_.get());
    EXPECT_FALSE(SetKeyDacl(HKEY_CURRENT_USER, ScratchKey() + "\\missing", open.get()));
    SetKeyDaclTree(HKEY_CURRENT_USER, ScratchKey() + "\\missing", open.get());
}

} // namespace
