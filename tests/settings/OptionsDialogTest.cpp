#include "settings/AppPaths.h"
#include "app/AutoStart.h"
#include "app/COptionsDialog.h"
#include "settings/KeepSites.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include "resource.h"

#include <functional>

namespace {

class OptionsDialogTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        saved_ = ProcessSettings();
        ProcessSettings() = Settings();
        settingsKey_ = ScratchKey() + "\\Setting";
        userList_ = ScratchKey() + "\\UserRun";
        machineList_ = ScratchKey() + "\\MachineRun";
        RunLists lists{"HKEY_CURRENT_USER\\" + userList_, "HKEY_CURRENT_USER\\" + machineList_};
        autoStart_ = AutoStartOperationsFor(lists);
    }
    void TearDown() override
    {
        ProcessSettings() = saved_;
        SandboxTest::TearDown();
    }

    // As the main window does: the running values in, stored when OK is pressed.
    INT_PTR Run(std::function<void(HWND)> script)
    {
        OptionsValues shown = CurrentOptions(autoStart_, settingsKey_);
        shown.cookieSites = cookieSites_;
        COptionsDialog dialog(shown);
        INT_PTR result = RunDialogWith(dialog, std::move(script));
        if (result == IDOK)
            StoreOptions(dialog.values, autoStart_, settingsKey_);
        return result;
    }

    std::optional<std::string> UserEntry() const { return ReadStringForTest(userList_, GetAppName()); }
    std::optional<std::string> MachineEntry() const { return ReadStringForTest(machineList_, GetAppName()); }

    Settings saved_;
    std::string settingsKey_;
    std::string userList_;
    std::string machineList_;
    AutoStartOperations autoStart_;
    std::vector<std::string> cookieSites_;
};

TEST_F(OptionsDialogTest, ShowsTheEntryAndTheRunningSettings)
{
    ProcessSettings().expressEraseMode = 1;
    WriteStringForTest(machineList_, GetAppName(), "C:\\elsewhere\\x.exe");
    auto script = [](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_AUTO_LAUNCH));
        EXPECT_TRUE(IsChecked(dialog, IDC_EXPRESS_MODE));
        EXPECT_FALSE(IsChecked(dialog, IDC_PLAY_SOUND));
        // Skinned like the other windows: no frame of its own, and the skin's faces on its buttons.
        EXPECT_FALSE(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION);
        EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        Click(dialog, IDC_EXPRESS_MODE);
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(script), IDCANCEL);
    // Cancel changes nothing at all.
    EXPECT_EQ(ProcessSettings().expressEraseMode, 1u);
    EXPECT_FALSE(UserEntry());
    EXPECT_TRUE(MachineEntry());
    EXPECT_FALSE(KeyExistsForTest(settingsKey_));
}

TEST_F(OptionsDialogTest, OkWithoutChangesWritesNoSettingButRewritesTheEntry)
{
    ProcessSettings().playSound = 1;
    WriteStringForTest(userList_, GetAppName(), "C:\\old copy\\x.exe");
    EXPECT_EQ(Run([](HWND dialog) { Click(dialog, IDOK); }), IDOK);
    EXPECT_FALSE(KeyExistsForTest(settingsKey_));
    EXPECT_EQ(UserEntry(), "\"" + GetAppFolder() + GetAppName() + ".exe\"");
    EXPECT_EQ(ProcessSettings().playSound, 1u);
}

TEST_F(OptionsDialogTest, OkWithoutAnEntryRemovesItAgain)
{
    auto script = [](HWND dialog) {
        EXPECT_FALSE(IsChecked(dialog, IDC_AUTO_LAUNCH));
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_FALSE(UserEntry());
    EXPECT_FALSE(KeyExistsForTest(settingsKey_));
}

TEST_F(OptionsDialogTest, ClearingAutoLaunchRemovesTheEntryFromBothLists)
{
    WriteStringForTest(userList_, GetAppName(), "C:\\a.exe");
    WriteStringForTest(machineList_, GetAppName(), "C:\\a.exe");
    auto script = [](HWND dialog) {
        Click(dialog, IDC_AUTO_LAUNCH);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_FALSE(UserEntry());
    EXPECT_FALSE(MachineEntry());
}

TEST_F(OptionsDialogTest, TurningTheChimeOnWithoutASettingsKeyCreatesItWithThatValueOnly)
{
    auto script = [](HWND dialog) {
        Click(dialog, IDC_PLAY_SOUND);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(ValueNamesForTest(settingsKey_), (std::vector<std::string>{"Play Sound"}));
    EXPECT_EQ(ReadDwordForTest(settingsKey_, "Play Sound"), 1u);
    EXPECT_EQ(ProcessSettings().playSound, 1u);
    EXPECT_EQ(ProcessSettings().expressEraseMode, 0u);
}

TEST_F(OptionsDialogTest, ChangedSettingsAreWrittenAndTakeEffectAtOnce)
{
    ProcessSettings().expressEraseMode = 1;
    WriteDwordForTest(settingsKey_, "Express Erase Mode", 1);
    WriteDwordForTest(settingsKey_, "Play Sound", 0);
    auto script = [](HWND dialog) {
        Click(dialog, IDC_EXPRESS_MODE);
        Click(dialog, IDC_PLAY_SOUND);
        Click(dialog, IDC_SECURE_DELETION);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(ReadDwordForTest(settingsKey_, "Express Erase Mode"), 0u);
    EXPECT_EQ(ReadDwordForTest(settingsKey_, "Play Sound"), 1u);
    EXPECT_EQ(ReadDwordForTest(settingsKey_, "Secure Deletion"), 1u);
    EXPECT_EQ(ProcessSettings().expressEraseMode, 0u);
    EXPECT_EQ(ProcessSettings().playSound, 1u);
    EXPECT_EQ(ProcessSettings().secureDeletion, 1u) << "the next run overwrites";
}

TEST_F(OptionsDialogTest, ANonZeroCopyShowsCheckedAndOkStoresItAsOne)
{
    ProcessSettings().playSound = 5;
    auto script = [](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_PLAY_SOUND));
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    // The box says 1, the copy 5: they differ, so 1 is written.
    EXPECT_EQ(ReadDwordForTest(settingsKey_, "Play Sound"), 1u);
    EXPECT_EQ(ProcessSettings().playSound, 1u);
}

TEST_F(OptionsDialogTest, ARefusedWriteStillChangesTheRunningSetting)
{
    // No key can have a name longer than 255 characters.
    settingsKey_ = ScratchKey() + "\\" + std::string(300, 'k');
    auto script = [](HWND dialog) {
        Click(dialog, IDC_EXPRESS_MODE);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(ProcessSettings().expressEraseMode, 1u);
    EXPECT_TRUE(ValueNamesForTest(ScratchKey()).empty());
}

// The pick list offers the browsers' sites; a site typed as an address is kept by its name, and one typed
// but not added yet is kept on OK as well.
TEST_F(OptionsDialogTest, SitesToKeepArePickedTypedRemovedAndStoredOnOk)
{
    ASSERT_TRUE(WriteKeepSites({"old.example"}, settingsKey_));
    cookieSites_ = {"accounts.example.com", "tracker.net"};
    auto script = [](HWND dialog) {
        HWND box = GetDlgItem(dialog, IDC_KEEP_SITE);
        EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_KEEP_SITES, LB_GETCOUNT, 0, 0), 1);
        SendMessageW(box, CB_SETCURSEL, 0, 0);
        Click(dialog, IDC_KEEP_ADD);
        SetWindowTextW(box, L"https://Shop.Example.org/cart");
        Click(dialog, IDC_KEEP_ADD);
        SendDlgItemMessageW(dialog, IDC_KEEP_SITES, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(L"old.example"));
        Click(dialog, IDC_KEEP_REMOVE);
        SetWindowTextW(box, L"news.example.net");
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(ReadKeepSites(settingsKey_).sites,
              (std::vector<std::string>{"accounts.example.com", "news.example.net", "shop.example.org"}));
}

// A stored list that cannot be read is said to be so, cannot be edited, and OK leaves it as it is.
TEST_F(OptionsDialogTest, AnUnreadableListIsShownAsSuchAndNeverReplaced)
{
    DWORD number = 3;
    WriteRawForTest(HKEY_CURRENT_USER, settingsKey_, kKeepSitesValue, REG_DWORD, &number, sizeof number);
    auto script = [](HWND dialog) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_KEEP_SITES)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_KEEP_ADD)));
        wchar_t note[512] = {};
        GetDlgItemTextW(dialog, IDC_KEEP_NOTE, note, 512);
        EXPECT_NE(std::wstring(note).find(L"cannot be read"), std::wstring::npos);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(ReadDwordForTest(settingsKey_, kKeepSitesValue), 3u);
}

} // namespace
