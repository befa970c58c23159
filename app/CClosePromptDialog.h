#pragma once
#include "framework/Dpi.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

// Asked when the user closes the main window: IDOK for "Close it" (end the program), IDCANCEL for
// "Minimize it" or Escape (keep running in the tray).
class CClosePromptDialog : public CSkinDialog {
public:
    // The window's name, which no caption shows; it names the window to the system and to tests.
    static constexpr char kTitle[] = "Close Vestrel";

    CClosePromptDialog();

private:
    bool OnInitDialog() override;
    void Layout() override;

    CSkinButton minimize_;
    CSkinButton close_;

    DECLARE_MESSAGE_MAP()
};
