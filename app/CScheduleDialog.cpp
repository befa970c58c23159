#include "app/CScheduleDialog.h"

#include "framework/Utf8.h"
#include "framework/RegKey.h"
#include "settings/Schedule.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CScheduleDialog, Dialog)
    ON_COMMAND(IDC_ENABLE_SCHEDULE, OnEnableSchedule)
    ON_COMMAND(IDC_ERASE_AT_EVERY, OnEraseAtEvery)
    ON_COMMAND(IDOK, OnSave)
END_MESSAGE_MAP()

CScheduleDialog::CScheduleDialog() : Dialog(IDD_SCHEDULE) {}

bool CScheduleDialog::OnInitDialog()
{
    HWND periods = GetItem(IDC_ERASE_PERIOD);
    // Inserted by position, so the sorted list keeps the order of the stored index.
    for (uint32_t period = 0; period < kSchedulePeriodCount; ++period)
        SendMessageW(periods, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(ToWide(SchedulePeriodText(period)).c_str()));

    DWORD enableSchedule = 0, eraseAtStartup = 0, eraseAtEvery = 0, erasePeriod = 0;
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, settingsKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        key.QueryDword(enableSchedule, kEnableScheduleValue);
        key.QueryDword(eraseAtStartup, kEraseAtStartupValue);
        key.QueryDword(eraseAtEvery, kEraseAtEveryValue);
        key.QueryDword(erasePeriod, kErasePeriodValue);
    }
    CheckDlgButton(GetHwnd(), IDC_ENABLE_SCHEDULE, enableSchedule ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(GetHwnd(), IDC_ERASE_AT_STARTUP, eraseAtStartup ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(GetHwnd(), IDC_ERASE_AT_EVERY, eraseAtEvery ? BST_CHECKED : BST_UNCHECKED);
    ApplyEnabling();
    // An index outside the list, -1 included, leaves it without a selection.
    SendMessageW(periods, CB_SETCURSEL, erasePeriod, 0);
    return true;
}

void CScheduleDialog::OnEnableSchedule() { ApplyEnabling(); }

void CScheduleDialog::OnEraseAtEvery()
{
    EnableWindow(GetItem(IDC_ERASE_PERIOD), IsChecked(IDC_ERASE_AT_EVERY));
}

void CScheduleDialog::OnSave()
{
    HWND periods = GetItem(IDC_ERASE_PERIOD);
    LRESULT period = SendMessageW(periods, CB_GETCURSEL, 0, 0);
    bool chosen = period >= 0 && period < static_cast<LRESULT>(kSchedulePeriodCount);
    // A periodic erase without a period would never run: the user is asked to pick one from the list.
    if (!chosen && IsChecked(IDC_ENABLE_SCHEDULE) && IsChecked(IDC_ERASE_AT_EVERY)) {
        MessageBeep(MB_ICONWARNING);
        SetFocus(periods);
        SendMessageW(periods, CB_SHOWDROPDOWN, TRUE, 0);
        return;
    }
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, settingsKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        key.SetDword(IsChecked(IDC_ENABLE_SCHEDULE), kEnableScheduleValue);
        key.SetDword(IsChecked(IDC_ERASE_AT_STARTUP), kEraseAtStartupValue);
        key.SetDword(IsChecked(IDC_ERASE_AT_EVERY), kEraseAtEveryValue);
        // Without a choice the stored period stays as it was.
        if (chosen)
            key.SetDword(static_cast<DWORD>(period), kErasePeriodValue);
    }
    EndDialog(IDOK);
}

bool CScheduleDialog::IsChecked(int id) const
{
    return IsDlgButtonChecked(GetHwnd(), id) == BST_CHECKED;
}

void CScheduleDialog::ApplyEnabling()
{
    bool enabled = IsChecked(IDC_ENABLE_SCHEDULE);
    EnableWindow(GetItem(IDC_ERASE_AT_STARTUP), enabled);
    EnableWindow(GetItem(IDC_ERASE_AT_EVERY), enabled);
    EnableWindow(GetItem(IDC_ERASE_PERIOD), enabled && IsChecked(IDC_ERASE_AT_EVERY));
}
