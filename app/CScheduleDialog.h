#pragma once
#include "framework/Dialog.h"
#include "settings/ScheduleValues.h"

// Edits "Enable Schedule", "Erase at Startup", "Erase at Every" and "Erase Period". Shows values and hands
// back the edited ones on OK; storing them is the caller's (StoreSchedule).
class CScheduleDialog : public Dialog {
public:
    explicit CScheduleDialog(const ScheduleValues& shown);

    // What the dialog shows; after OK, what the user chose (a period outside the list when none was).
    ScheduleValues values;

private:
    bool OnInitDialog() override;
    void OnEnableSchedule();
    void OnEraseAtEvery();
    void OnOk();

    void Check(int id, bool checked) const;
    bool IsChecked(int id) const;
    // Without the master switch nothing else can be changed; the period only matters with "every".
    void ApplyEnabling();

    DECLARE_MESSAGE_MAP()
};
