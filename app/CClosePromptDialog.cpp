#include "app/CClosePromptDialog.h"

#include "app/AppSkin.h"
#include "framework/Dpi.h"
#include "framework/Utf8.h"
#include "resource.h"

namespace {

constexpr int kButtonTop = 195;

} // namespace

BEGIN_MESSAGE_MAP(CClosePromptDialog, CSkinDialog)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CClosePromptDialog::CClosePromptDialog() : CSkinDialog(IDD_CLOSE_PROMPT, IDB_CLOSE_PROMPT_BACKGROUND) {}

bool CClosePromptDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    SizeToBackground();
    dpi_ = Dpi::ForWindow(GetHwnd());
    AttachItem(IDC_MINIMIZE_IT, minimize_);
    minimize_.SetToolTipText("Only Minimize It");
    AttachItem(IDC_CLOSE_IT, close_);
    close_.SetToolTipText("Close the Eraser");
    PlaceButtons();
    // Enter presses the focused button; at first that is the default, "Close it".
    SetFocus(close_.GetHwnd());
    return false;
}

// Moved to a monitor of another scale: the background, the faces and the places of that scale.
LRESULT CClosePromptDialog::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    dpi_ = Dpi(HIWORD(wParam));
    FollowDpiChange(dpi_, lParam);
    PlaceButtons();
    return 0;
}

void CClosePromptDialog::PlaceButtons()
{
    PlaceSkinButton(minimize_, kPushButtonSkin, dpi_, 63, kButtonTop);
    PlaceSkinButton(close_, kPushButtonSkin, dpi_, 179, kButtonTop);
}
