#include "app/CScheduleDialog.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include "resource.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class ScheduleDialogTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        key_ = ScratchKey() + "\\Setting";
        saved_ = ProcessSettings();
        ProcessSettings() = Settings();
    }
    void TearDown() override
    {
        ProcessSettings() = saved_;
        SandboxTest::TearDown();
    }

    // As the main window does: the running values in, stored when OK is pressed.
    INT_PTR Run(std::function<void(HWND)> script, const Policies& policies = Policies())
    {
        CScheduleDialog dialog(CurrentSchedule(), policies);
        INT_PTR result = RunDialogWith(dialog, std::move(script));
        if (result == IDOK)
            StoreSchedule(dialog.values, policies, key_);
        okd_ = dialog.values;
        return result;
    }

    void Store(DWORD enableSchedule, DWORD eraseAtStartup, DWORD eraseAtEvery, DWORD erasePeriod)
    {
        WriteDwordForTest(key_, "Enable Schedule", enableSchedule);
        WriteDwordForTest(key_, "Erase at Startup", eraseAtStartup);
        WriteDwordForTest(key_, "Erase at Every", eraseAtEvery);
        WriteDwordForTest(key_, "Erase Period", erasePeriod);
        ProcessSettings() = Settings();
        LoadSettings(key_); // as at start-up
    }

    std::vector<DWORD> Stored() const
    {
        std::vector<DWORD> values;
        for (const char* name : {"Enable Schedule", "Erase at Startup", "Erase at Every", "Erase Period"})
            values.push_back(ReadDwordForTest(key_, name).value_or(12345));
        return values;
    }

    // Which of the three dependent controls can be used.
    static std::vector<bool> Enabled(HWND dialog)
    {
        return {IsEnabled(dialog, IDC_ERASE_AT_STARTUP), IsEnabled(dialog, IDC_ERASE_AT_EVERY),
                IsEnabled(dialog, IDC_ERASE_PERIOD)};
    }

    static LRESULT Selection(HWND dialog)
    {
        return SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_GETCURSEL, 0, 0);
    }

    static bool NoteShown(HWND dialog) { return IsWindowVisible(GetDlgItem(dialog, IDC_MANAGED_NOTE)); }
    static std::wstring Note(HWND dialog)
    {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, IDC_MANAGED_NOTE, text, 256);
        return text;
    }

    std::string key_;
    Settings saved_;
    ScheduleValues okd_; // what the dialog handed back
};

using Flags = std::vector<bool>;

TEST_F(ScheduleDialogTest, WithoutSettingsShowsEverythingOffAndTheFirstPeriod)
{
    std::vector<std::wstring> entries;
    auto script = [&](HWND dialog) {
        for (int i = 0; i < SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[64] = {};
            SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        EXPECT_FALSE(IsChecked(dialog, IDC_ENABLE_SCHEDULE));
        EXPECT_FALSE(IsChecked(dialog, IDC_ERASE_AT_STARTUP));
        EXPECT_FALSE(IsChecked(dialog, IDC_ERASE_AT_EVERY));
        EXPECT_EQ(Enabled(dialog), (Flags{false, false, false}));
        EXPECT_EQ(Selection(dialog), 0);
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(script), IDCANCEL);
    // The sorted list keeps the order of the stored index.
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"Half Hour", L"One Hour", L"Eight Hour", L"One Day",
                                                  L"One Week", L"One Month"}));
    EXPECT_FALSE(KeyExistsForTest(key_));
}

TEST_F(ScheduleDialogTest, ShowsTheStoredValues)
{
    Store(1, 1, 0, 4);
    auto script = [](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_ENABLE_SCHEDULE));
        EXPECT_TRUE(IsChecked(dialog, IDC_ERASE_AT_STARTUP));
        EXPECT_FALSE(IsChecked(dialog, IDC_ERASE_AT_EVERY));
        EXPECT_EQ(Enabled(dialog), (Flags{true, true, false}));
        EXPECT_EQ(Selection(dialog), 4);
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ScheduleDialogTest, SwitchedOffScheduleDisablesTheOthersButShowsThem)
{
    Store(0, 1, 1, 2);
    auto script = [](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_ERASE_AT_STARTUP));
        EXPECT_TRUE(IsChecked(dialog, IDC_ERASE_AT_EVERY));
        EXPECT_EQ(Enabled(dialog), (Flags{false, false, false}));
        EXPECT_EQ(Selection(dialog), 2);
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ScheduleDialogTest, ClicksApplyTheEnablingRule)
{
    auto script = [](HWND dialog) {
        Click(dialog, IDC_ENABLE_SCHEDULE);
        EXPECT_EQ(Enabled(dialog), (Flags{true, true, false}));
        Click(dialog, IDC_ERASE_AT_EVERY);
        EXPECT_EQ(Enabled(dialog), (Flags{true, true, true}));
        Click(dialog, IDC_ERASE_AT_EVERY);
        EXPECT_EQ(Enabled(dialog), (Flags{true, true, false}));
        Click(dialog, IDC_ERASE_AT_EVERY);
        Click(dialog, IDC_ENABLE_SCHEDULE);
        EXPECT_EQ(Enabled(dialog), (Flags{false, false, false}));
        // Switching the schedule back on remembers "every".
        Click(dialog, IDC_ENABLE_SCHEDULE);
        EXPECT_EQ(Enabled(dialog), (Flags{true, true, true}));
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ScheduleDialogTest, OkWritesTheFourValuesAndTheyApplyAtOnce)
{
    Store(0, 0, 0, 0);
    auto script = [](HWND dialog) {
        Click(dialog, IDC_ENABLE_SCHEDULE);
        Click(dialog, IDC_ERASE_AT_STARTUP);
        Click(dialog, IDC_ERASE_AT_EVERY);
        SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_SETCURSEL, 5, 0);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(Stored(), (std::vector<DWORD>{1, 1, 1, 5}));
    // The timer's next tick counts with the new period, not only the next start.
    EXPECT_EQ(ProcessSettings().enableSchedule, 1u);
    EXPECT_EQ(ProcessSettings().eraseAtEvery, 1u);
    EXPECT_EQ(ProcessSettings().erasePeriod, 5u);
}

TEST_F(ScheduleDialogTest, OkCreatesTheMissingKey)
{
    EXPECT_EQ(Run([](HWND dialog) { Click(dialog, IDOK); }), IDOK);
    EXPECT_EQ(Stored(), (std::vector<DWORD>{0, 0, 0, 0}));
}

TEST_F(ScheduleDialogTest, OkWithoutAPeriodAsksForOneWhenErasingEvery)
{
    Store(1, 0, 1, 0xFFFFFFFF);
    bool stayedOpen = false;
    auto script = [&](HWND dialog) {
        EXPECT_EQ(Selection(dialog), CB_ERR);
        Click(dialog, IDOK);
        stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        EXPECT_EQ(Stored(), (std::vector<DWORD>{1, 0, 1, 0xFFFFFFFF})) << "nothing written yet";
        SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_SHOWDROPDOWN, FALSE, 0);
        SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_SETCURSEL, 1, 0);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Stored(), (std::vector<DWORD>{1, 0, 1, 1}));
}

TEST_F(ScheduleDialogTest, ThePeriodIsChosenFromTheListOnlyAndKeptWithoutAChoice)
{
    Store(1, 0, 0, 9);
    auto script = [](HWND dialog) {
        LONG style = GetWindowLongW(GetDlgItem(dialog, IDC_ERASE_PERIOD), GWL_STYLE);
        EXPECT_EQ(style & 3, CBS_DROPDOWNLIST) << "no typed period";
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(Stored(), (std::vector<DWORD>{1, 0, 0, 9}));
}

// "Also when Vestrel is closed" only means something with the periodic erase, and OK hands it back.
TEST_F(ScheduleDialogTest, AlsoWhenClosedGoesWithThePeriodicErase)
{
    Store(1, 0, 0, 3);
    auto script = [](HWND dialog) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_ERASE_WHEN_CLOSED));
        Click(dialog, IDC_ERASE_AT_EVERY);
        EXPECT_TRUE(IsEnabled(dialog, IDC_ERASE_WHEN_CLOSED));
        Click(dialog, IDC_ERASE_WHEN_CLOSED);
        EXPECT_FALSE(NoteShown(dialog)) << "nothing is managed";
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_TRUE(okd_.eraseWhenClosed);
}

// What the organization decides cannot be changed, and the dialog says who decided it.
TEST_F(ScheduleDialogTest, ManagedOptionsStayDisabledAndSaySo)
{
    Store(1, 0, 1, 3);
    Policies policies;
    policies.erasePeriod = 1;
    policies.commandLineEraseAllowed = false; // the task's erase would be refused
    policies.ApplyTo(ProcessSettings());      // as at start-up
    auto script = [](HWND dialog) {
        EXPECT_EQ(Enabled(dialog), (Flags{true, true, false}));
        EXPECT_FALSE(IsEnabled(dialog, IDC_ERASE_WHEN_CLOSED));
        Click(dialog, IDC_ERASE_AT_EVERY);
        Click(dialog, IDC_ERASE_AT_EVERY);
        EXPECT_FALSE(IsEnabled(dialog, IDC_ERASE_PERIOD)) << "enabled again with the periodic erase";
        EXPECT_TRUE(NoteShown(dialog));
        EXPECT_EQ(Note(dialog), L"Set by your organization: the period, Also when Vestrel is closed");
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(script, policies), IDOK);
    EXPECT_EQ(okd_.erasePeriod, 1u);
    EXPECT_FALSE(okd_.eraseWhenClosed);
    EXPECT_EQ(Stored()[3], 3u) << "the user's own period is kept for when the policy goes";
}

TEST_F(ScheduleDialogTest, CancelWritesNothing)
{
    Store(1, 0, 1, 3);
    auto script = [](HWND dialog) {
        Click(dialog, IDC_ERASE_AT_STARTUP);
        SendDlgItemMessageW(dialog, IDC_ERASE_PERIOD, CB_SETCURSEL, 0, 0);
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(Stored(), (std::vector<DWORD>{1, 0, 1, 3}));
}

} // namespace
