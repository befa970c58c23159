#pragma once
#include "framework/Dialog.h"
#include "settings/AutoStartOperations.h"
#include "settings/Settings.h"

#include <cstdint>
#include <string>

// Switches starting with Windows, "Express Erase Mode" and "Play Sound". The two settings change in the
// process-wide copies at once, so the next run uses them even when the registry refuses the write.
class COptionsDialog : public Dialog {
public:
    explicit COptionsDialog(AutoStartOperations autoStart);

    // Relative to HKEY_CURRENT_USER; tests point it at a scratch key.
    std::string settingsKeyPath = kSettingsKeyPath;

private:
    bool OnInitDialog() override;
    void OnApply();

    bool IsChecked(int id) const;
    // Writes the value only when the box differs from the copy, so OK without changes writes nothing.
    void Update(uint32_t& setting, int checkBox, const char* valueName) const;

    AutoStartOperations autoStart_;

    DECLARE_MESSAGE_MAP()
};
