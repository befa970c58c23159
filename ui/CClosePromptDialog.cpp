#include "ui/CClosePromptDialog.h"

#include "framework/Dpi.h"
#include "framework/Utf8.h"
#include "resource.h"

namespace {

constexpr int kButtonTop = 195;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 25;

} // namespace

CClosePromptDialog::CClosePromptDialog() : CSkinDialog(IDD_CLOSE_PROMPT, IDB_CLOSE_PROMPT_BACKGROUND) {}

bool CClosePromptDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    SizeToBackground();
    SkinButton(minimize_, IDC_MINIMIZE_IT, "Only Minimize It", 63);
    SkinButton(close_, IDC_CLOSE_IT, "Close the Eraser", 179);
    // Enter presses the focused button; at first that is the default, "Close it".
    SetFocus(close_.GetHwnd());
    return false;
}

void CClosePromptDialog::SkinButton(CSkinButton& button, int id, const char* tip, int left)
{
    AttachItem(id, button);
    button.SetToolTipText(tip);
    button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
    const Dpi dpi = Dpi::ForWindow(GetHwnd());
    SetWindowPos(button.GetHwnd(), nullptr, dpi.Scale(left), dpi.Scale(kButtonTop), dpi.Scale(kButtonWidth),
                 dpi.Scale(kButtonHeight), SWP_NOZORDER | SWP_NOACTIVATE);
}
