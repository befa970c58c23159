#include "app/CScheduleDialog.h"

#include "app/AppSkin.h"
#include "framework/Utf8.h"
#include "settings/Schedule.h"

#include <vector>

#include "resource.h"

BEGIN_MESSAGE_MAP(CScheduleDialog, CSkinFormDialog)
    ON_COMMAND(IDC_ENABLE_SCHEDULE, OnEnableSchedule)
    ON_COMMAND(IDC_ERASE_AT_EVERY, OnEraseAtEvery)
    ON_COMMAND(IDOK, OnOk)
END_MESSAGE_MAP()

namespace {

// The controls a policy may decide, and how the note under them names each.
struct ScheduleControl {
    int id;
    const char* name;
};
constexpr ScheduleControl kScheduleControls[] = {
    {IDC_ENABLE_SCHEDULE, "Enable Schedule"},
    {IDC_ERASE_AT_STARTUP, "Auto Erase at Windows Startup"},
    {IDC_ERASE_AT_EVERY, "Auto Erase every"},
    {IDC_ERASE_PERIOD, "the period"},
    {IDC_ERASE_WHEN_CLOSED, "Also when Vestrel is closed"},
};

} // namespace

CScheduleDialog::CScheduleDialog(const ScheduleValues& shown, Policies policies)
    : CSkinFormDialog(IDD_SCHEDULE, kFormSkin, "Schedule Dialog"),
      values(shown),
      policies_(std::move(policies))
{
}

bool CScheduleDialog::OnInitDialog()
{
    CSkinFormDialog::OnInitDialog();
    HWND periods = GetItem(IDC_ERASE_PERIOD);
    // Inserted by position, so the sorted list keeps the order of the stored index.
    for (uint32_t period = 0; period < kSchedulePeriodCount; ++period)
        SendMessageW(periods, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(ToWide(SchedulePeriodText(period)).c_str()));
    Check(IDC_ENABLE_SCHEDULE, values.enableSchedule);
    Check(IDC_ERASE_AT_STARTUP, values.eraseAtStartup);
    Check(IDC_ERASE_AT_EVERY, values.eraseAtEvery);
    Check(IDC_ERASE_WHEN_CLOSED, values.eraseWhenClosed);
    ApplyEnabling();
    ShowManaged();
    // An index outside the list, -1 included, leaves it without a selection.
    SendMessageW(periods, CB_SETCURSEL, values.erasePeriod, 0);
    return true;
}

void CScheduleDialog::OnEnableSchedule()
{
    ApplyEnabling();
}

void CScheduleDialog::OnEraseAtEvery()
{
    ApplyEnabling();
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
    values.eraseWhenClosed = IsChecked(IDC_ERASE_WHEN_CLOSED);
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
    bool every = enabled && IsChecked(IDC_ERASE_AT_EVERY);
    Enable(IDC_ENABLE_SCHEDULE, true);
    Enable(IDC_ERASE_AT_STARTUP, enabled);
    Enable(IDC_ERASE_AT_EVERY, enabled);
    Enable(IDC_ERASE_PERIOD, every);
    Enable(IDC_ERASE_WHEN_CLOSED, every);
}

void CScheduleDialog::Enable(int id, bool enabled) const
{
    EnableWindow(GetItem(id), enabled && !IsManaged(id));
}

// The task runs vestrel-cli's erase, which a policy may refuse: then it would never erase.
bool CScheduleDialog::IsManaged(int id) const
{
    switch (id) {
    case IDC_ENABLE_SCHEDULE:
        return policies_.enableSchedule.has_value();
    case IDC_ERASE_AT_STARTUP:
        return policies_.eraseAtStartup.has_value();
    case IDC_ERASE_AT_EVERY:
        return policies_.eraseAtEvery.has_value();
    case IDC_ERASE_PERIOD:
        return policies_.erasePeriod.has_value();
    case IDC_ERASE_WHEN_CLOSED:
        return !policies_.MayEraseFromCommandLine();
    default:
        return false;
    }
}

// A disabled control gets no mouse messages for a tooltip of its own: the tooltip watches its place.
void CScheduleDialog::ShowManaged()
{
    std::vector<RECT> areas;
    std::string note = kManagedByOrganizationText;
    for (const ScheduleControl& control : kScheduleControls) {
        if (!IsManaged(control.id))
            continue;
        RECT area{};
        GetWindowRect(GetItem(control.id), &area);
        MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&area), 2);
        areas.push_back(area);
        note += (areas.size() == 1 ? ": " : ", ") + std::string(control.name);
    }
    if (areas.empty())
        return;
    SetWindowTextW(GetItem(IDC_MANAGED_NOTE), ToWide(note).c_str());
    ShowWindow(GetItem(IDC_MANAGED_NOTE), SW_SHOW);
    managedTip_.CreateOverAreas(GetHwnd(), areas, kManagedByOrganizationText);
}
