#pragma once
#include "ui/CSkinFormDialog.h"
#include "settings/Policies.h"
#include "settings/ScheduleValues.h"
#include "ui/CToolTip.h"

// Edits "Enable Schedule", "Erase at Startup", "Erase at Every", "Erase Period" and whether a task erases
// while Vestrel is closed. Shows values and hands back the edited ones on OK; storing them is the caller's
// (StoreSchedule, UpdateEraseTask). What the organization's policies decide is shown disabled, saying so.
class CScheduleDialog : public CSkinFormDialog {
public:
    explicit CScheduleDialog(const ScheduleValues& shown, Policies policies = Policies());

    // What the dialog shows; after OK, what the user chose (a period outside the list when none was).
    ScheduleValues values;

private:
    bool OnInitDialog() override;
    void OnEnableSchedule();
    void OnEraseAtEvery();
    void OnOk();

    void Check(int id, bool checked) const;
    bool IsChecked(int id) const;
    // Without the master switch nothing else can be changed; the period and the task only matter with
    // "every". A control a policy decides stays disabled.
    void ApplyEnabling();
    void Enable(int id, bool enabled) const;
    bool IsManaged(int id) const;
    void ShowManaged();

    Policies policies_;
    CToolTip managedTip_;

    DECLARE_MESSAGE_MAP()
};
