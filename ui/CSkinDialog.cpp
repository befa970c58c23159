#include "ui/CSkinDialog.h"

#include "ui/CCheckListCtrl.h"
#include "ui/HighContrast.h"
#include "ui/SkinDrawing.h"

#include <windowsx.h>

#include <algorithm>

BEGIN_MESSAGE_MAP(CSkinDialog, Dialog)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSystemChange)
    ON_MESSAGE(WM_SETTINGCHANGE, OnSystemChange)
    ON_WM_DPICHANGED(OnDpiChanged)
END_MESSAGE_MAP()

CSkinDialog::CSkinDialog(UINT templateId, UINT backgroundId) : Dialog(templateId), backgroundId_(backgroundId)
{
}

CSkinDialog::CSkinDialog(const DLGTEMPLATE& memoryTemplate, UINT backgroundId)
    : Dialog(memoryTemplate), backgroundId_(backgroundId)
{
}

bool CSkinDialog::OnInitDialog()
{
    dpi_ = Dpi::ForWindow(GetHwnd());
    background_ = LoadSkinBitmap(backgroundId_, dpi_);
    return Dialog::OnInitDialog();
}

void CSkinDialog::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    dpi_ = Dpi(dpi);
    background_ = LoadSkinBitmap(backgroundId_, dpi_);
    // Without a background, the size the system suggests is the template's at the new DPI.
    const UINT keepSize = background_ ? SWP_NOSIZE : 0;
    SetWindowPos(GetHwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, keepSize | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeToBackground();
    Layout();
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CSkinDialog::SizeToBackground()
{
    SIZE size = BitmapSize(background_.get());
    if (size.cx > 0)
        SetWindowPos(GetHwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSkinDialog::PlaceSkinButton(CSkinButton& button, const PushButtonSkin& skin, const Dpi& dpi, int left,
                                  int top)
{
    button.SetDpi(dpi);
    button.SetSkin(skin.face, skin.hoverFace, skin.hoverFace);
    SetWindowPos(button.GetHwnd(), nullptr, dpi.Scale(left), dpi.Scale(top), dpi.Scale(skin.size.cx),
                 dpi.Scale(skin.size.cy), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSkinDialog::CentreOnWorkArea()
{
    RECT window{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetWindowRect(GetHwnd(), &window) ||
        !GetMonitorInfoW(MonitorFromWindow(GetHwnd(), MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    // A window larger than the work area keeps its top-left corner on it.
    int x = std::max(work.left, work.left + (work.right - work.left - (window.right - window.left)) / 2);
    int y = std::max(work.top, work.top + (work.bottom - work.top - (window.bottom - window.top)) / 2);
    SetWindowPos(GetHwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CSkinDialog::OnEraseBackground(WPARAM wParam, LPARAM)
{
    if (HighContrastOn()) {
        RECT client{};
        GetClientRect(GetHwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, SystemBrush(COLOR_BTNFACE));
        return TRUE;
    }
    if (!DrawBitmapAt(reinterpret_cast<HDC>(wParam), background_.get(), 0, 0))
        return Default();
    return TRUE;
}

// High contrast turned on or off, or other colours: the children hear it as top-level windows do, then the
// whole window paints again, in the skin or without it.
LRESULT CSkinDialog::OnSystemChange(WPARAM, LPARAM)
{
    RefreshHighContrast();
    for (HWND child = GetWindow(GetHwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return Default();
}

LRESULT CSkinDialog::OnLButtonDown(WPARAM, LPARAM lParam)
{
    // Posted, so the press gets its default handling first; the system then moves the window as if its
    // caption had been pressed at this point.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(GetHwnd(), &point);
    PostMessageW(GetHwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return Default();
}

// The wheel goes to the focused window, which hands it up to its dialog when it does not scroll (a
// button): over a list it scrolls the list. The list's view handles the wheel itself, so it never comes back.
LRESULT CSkinDialog::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    POINT cursor{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (HWND view = CCheckListCtrl::ViewUnder(GetHwnd(), cursor))
        return SendMessageW(view, WM_MOUSEWHEEL, wParam, lParam);
    return Default();
}
