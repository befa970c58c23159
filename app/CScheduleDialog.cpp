#include "app/CScheduleDialog.h"

#include "framework/Utf8.h"
#include "settings/Schedule.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CScheduleDialog, Dialog)
    ON_COMMAND(IDC_ENABLE_SCHEDULE, OnEnableSchedule)
    ON_COMMAND(IDC_ERASE_AT_EVERY, OnEraseAtEvery)
    ON_COMMAND(IDOK, OnOk)
END_MESSAGE_MAP()

CScheduleDialog::CScheduleDialog(const ScheduleValues& shown) : Dialog(IDD_SCHEDULE), values(shown) {}

bool CScheduleDialog::OnInitDialog()
{
    HWND periods = GetItem(IDC_ERASE_PERIOD);
    // Inserted by position, so the sorted list keeps the order of the stored index.
    for (uint32_t period = 0; period < kSchedulePeriodCount; ++period)
        SendMessageW(periods, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(ToWide(SchedulePeriodText(period)).c_str()));
    Check(IDC_ENABLE_SCHEDULE, values.enableSchedule);
    Check(IDC_ERASE_AT_STARTUP, values.eraseAtStartup);
    Check(IDC_ERASE_AT_EVERY, values.eraseAtEvery);
    ApplyEnabling();
    // An index outside the list, -1 included, leaves it without a selection.
    SendMessageW(periods, CB_SETCURSEL, values.erasePeriod, 0);
    return true;
}

void CScheduleDialog::OnEnableSchedule() { ApplyEnabling(); }

void CScheduleDialog::OnEraseAtEvery()
{
    EnableWindow(GetItem(IDC_ERASE_PERIOD), IsChecked(IDC_ERASE_AT_EVERY));
}

void CScheduleDialog::OnOk()
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
    values.enableSchedule = IsChecked(IDC_ENABLE_SCHEDULE);
    values.eraseAtStartup = IsChecked(IDC_ERASE_AT_STARTUP);
    values.eraseAtEvery = IsChecked(IDC_ERASE_AT_EVERY);
    values.erasePeriod = chosen ? static_cast<uint32_t>(period) : kSchedulePeriodCount;
    EndDialog(IDOK);
}

void CScheduleDialog::Check(int id, bool checked) const
{
    CheckDlgButton(GetHwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
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
