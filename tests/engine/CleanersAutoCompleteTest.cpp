#include "engine/cleaners/AutoCompleteCleaners.h"
#include "engine/registry/FullAccessDescriptor.h"
#include "engine/registry/KeyDacl.h"
#include "engine/registry/UserSid.h"
#include "framework/Utf8.h"
#include "tests/support/PlantedTraces.h"

#include <windows.h>
#include <lmcons.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kProvider[] = "Software\\Microsoft\\Protected Storage System Provider\\";
const char kFormsData[] = "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db";
const char kOtherData[] = "\\Data\\5e7e8100-9138-11d1-945a-00c04fc308ff";

std::string UserName()
{
    wchar_t name[UNLEN + 1];
    DWORD length = UNLEN + 1;
    return GetUserNameW(name, &length) ? ToUtf8(name) : std::string();
}

class Descriptor {
public:
    explicit Descriptor(const std::wstring& sddl)
    {
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_,
                                                             nullptr);
    }
    ~Descriptor() { LocalFree(descriptor_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    PSECURITY_DESCRIPTOR get() const { return descriptor_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

std::vector<BYTE> DaclBytes(PSECURITY_DESCRIPTOR descriptor)
{
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ACL* dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
        return {};
    const BYTE* bytes = reinterpret_cast<const BYTE*>(dacl);
    return std::vector<BYTE>(bytes, bytes + dacl->AclSize);
}

std::vector<BYTE> KeyDaclBytes(HKEY root, const std::string& path)
{
    std::vector<BYTE> descriptor = GetKeyDacl(root, path);
    return descriptor.empty() ? std::vector<BYTE>() : DaclBytes(descriptor.data());
}

// Protected storage as Windows XP leaves it: the user's key with a DACL of its own, the forms data below
// it open to LocalSystem alone, another provider's data beside it, and the machine-wide copy.
class CleanersProtectedStorage : public testing::Test {
protected:
    void SetUp() override
    {
        user_ = UserSid::OfCurrentProcess();
        ASSERT_FALSE(user_.empty());
        userKey_ = kProvider + user_.Text();
        machineKey_ = kProvider + UserName();
        ASSERT_NE(machineKey_, kProvider);
        ASSERT_TRUE(
            traces_.Value(HKEY_CURRENT_USER, userKey_ + kFormsData + "\\site\\field", "entry", "secret"));
        ASSERT_TRUE(traces_.Value(HKEY_CURRENT_USER, userKey_ + kFormsData, "Behavior", "1"));
        ASSERT_TRUE(traces_.Value(HKEY_CURRENT_USER, userKey_ + kOtherData, "Item", "kept"));
        ASSERT_TRUE(
            traces_.Value(HKEY_LOCAL_MACHINE, machineKey_ + kFormsData + "\\site", "entry", "secret"));

        ASSERT_TRUE(SetKeyDacl(HKEY_CURRENT_USER, userKey_, userDacl_.get()));
        SetKeyDaclTree(HKEY_CURRENT_USER, userKey_ + kFormsData, systemOnly_.get());
    }

    // Whatever a failed run left locked is opened again, so that the planted keys can go.
    void TearDown() override
    {
        FullAccessDescriptor open(user_.get());
        if (open.get())
            SetKeyDaclTree(HKEY_CURRENT_USER, userKey_, open.get());
    }

    UserSid user_;
    std::string userKey_;
    std::string machineKey_;
    Descriptor userDacl_{L"D:(A;;KA;;;" + ToWide(UserSid::OfCurrentProcess().Text()) + L")(A;;KR;;;WD)"};
    Descriptor systemOnly_{L"D:P(A;OICI;KA;;;SY)(A;OICI;RC;;;WD)"};
    PlantedTraces traces_;
};

TEST_F(CleanersProtectedStorage, DeletesBothFormsAndPutsTheUsersDaclBack)
{
    std::vector<BYTE> before = KeyDaclBytes(HKEY_CURRENT_USER, userKey_);
    ASSERT_EQ(before, DaclBytes(userDacl_.get()));

    DeleteProtectedStorageForms(5.1);
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_CURRENT_USER, userKey_ + kFormsData));
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_LOCAL_MACHINE, machineKey_ + kFormsData));
    EXPECT_TRUE(PlantedTraces::ValueExists(HKEY_CURRENT_USER, userKey_ + kOtherData, "Item"));
    EXPECT_EQ(KeyDaclBytes(HKEY_CURRENT_USER, userKey_), before);

    FullAccessDescriptor open(user_.get());
    EXPECT_EQ(KeyDaclBytes(HKEY_CURRENT_USER, userKey_ + "\\Data"), DaclBytes(open.get()))
        << "the keys below the user's key keep the open DACL";
}

TEST_F(CleanersProtectedStorage, VersionFiveIsTheFirstWithTheUsersForm)
{
    DeleteProtectedStorageForms(5.0);
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_CURRENT_USER, userKey_ + kFormsData));
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_LOCAL_MACHINE, machineKey_ + kFormsData));
}

TEST_F(CleanersProtectedStorage, BelowVersionFiveOnlyTheMachineFormGoes)
{
    std::vector<BYTE> dataDacl = KeyDaclBytes(HKEY_CURRENT_USER, userKey_ + kFormsData);
    DeleteProtectedStorageForms(4.0);
    EXPECT_TRUE(
        PlantedTraces::ValueExists(HKEY_CURRENT_USER, userKey_ + kFormsData + "\\site\\field", "entry"));
    EXPECT_EQ(KeyDaclBytes(HKEY_CURRENT_USER, userKey_ + kFormsData), dataDacl);
    EXPECT_EQ(KeyDaclBytes(HKEY_CURRENT_USER, userKey_), DaclBytes(userDacl_.get()));
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_LOCAL_MACHINE, machineKey_ + kFormsData));
}

TEST(CleanersProtectedStorageMissing, NothingThereCreatesNothing)
{
    std::string userKey = kProvider + UserSid::OfCurrentProcess().Text();
    if (PlantedTraces::KeyExists(HKEY_CURRENT_USER, userKey))
        GTEST_SKIP() << "the prefix has protected storage of its own";
    DeleteProtectedStorageForms(6.1);
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_CURRENT_USER, userKey));
}

TEST(CleanersIntelliForms, DeletesTheKeyWithItsTreeAndNothingBeside)
{
    const std::string ie = "Software\\Microsoft\\Internet Explorer";
    PlantedTraces traces;
    ASSERT_TRUE(traces.Value(HKEY_CURRENT_USER, ie + "\\IntelliForms\\Storage2", "0A1B2C", "encrypted"));
    ASSERT_TRUE(traces.Value(HKEY_CURRENT_USER, ie + "\\IntelliForms", "AskUser", "1"));
    ASSERT_TRUE(traces.Value(HKEY_CURRENT_USER, ie + "\\Main", "Vestrel canary", "stays"));
    DeleteIntelliForms();
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_CURRENT_USER, ie + "\\IntelliForms"));
    EXPECT_TRUE(PlantedTraces::ValueExists(HKEY_CURRENT_USER, ie + "\\Main", "Vestrel canary"));
}

} // namespace
