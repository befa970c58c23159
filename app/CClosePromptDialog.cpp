#include "app/CClosePromptDialog.h"

#include "app/AppSkin.h"
#include "framework/Dpi.h"
#include "framework/Utf8.h"
#include "resource.h"

namespace {

constexpr int kButtonTop = 195;

} // namespace

BEGIN_MESSAGE_MAP(CClosePromptDialog, CSkinDialog)
END_MESSAGE_MAP()

CClosePromptDialog::CClosePromptDialog() : CSkinDialog(IDD_CLOSE_PROMPT, IDB_CLOSE_PROMPT_BACKGROUND) {}

bool CClosePromptDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    SizeToBackground();
    AttachItem(IDC_MINIMIZE_IT, minimize_);
    minimize_.SetToolTipText("Only Minimize It");
    AttachItem(IDC_CLOSE_IT, close_);
    close_.SetToolTipText("Close the Eraser");
    Layout();
    // Enter presses the focused button; at first that is the default, "Close it".
    SetFocus(close_.GetHwnd());
    return false;
}

// The buttons' faces and places for the window's scale.
void CClosePromptDialog::Layout()
{
    PlaceSkinButton(minimize_, kPushButtonSkin, WindowDpi(), 63, kButtonTop);
    PlaceSkinButton(close_, kPushButtonSkin, WindowDpi(), 179, kButtonTop);
}
