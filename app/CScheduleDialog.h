#pragma once
#include "framework/Dialog.h"
#include "settings/Settings.h"

#include <string>

// Edits "Enable Schedule", "Erase at Startup", "Erase at Every" and "Erase Period" in the registry. The
// running program keeps the copies it loaded at start-up, so the new values count from the next start.
class CScheduleDialog : public Dialog {
public:
    CScheduleDialog();

    // Relative to HKEY_CURRENT_USER; tests point it at a scratch key.
    std::string settingsKeyPath = kSettingsKeyPath;

private:
    bool OnInitDialog() override;
    void OnEnableSchedule();
    void OnEraseAtEvery();
    void OnSave();

    bool IsChecked(int id) const;
    // Without the master switch nothing else can be changed; the period only matters with "every".
    void ApplyEnabling();

    DECLARE_MESSAGE_MAP()
};
