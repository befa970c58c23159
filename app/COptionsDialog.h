#pragma once
#include "framework/Dialog.h"
#include "settings/OptionsValues.h"

// Switches starting with Windows, "Express Erase Mode" and "Play Sound". Shows values and hands back the
// edited ones on OK; storing them is the caller's (StoreOptions).
class COptionsDialog : public Dialog {
public:
    explicit COptionsDialog(const OptionsValues& shown);

    // What the dialog shows; after OK, what the user chose.
    OptionsValues values;

private:
    bool OnInitDialog() override;
    void OnOk();

    void Check(int id, bool checked) const;
    bool IsChecked(int id) const;

    DECLARE_MESSAGE_MAP()
};
