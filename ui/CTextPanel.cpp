#include "ui/CTextPanel.h"

#include "framework/Utf8.h"

BEGIN_MESSAGE_MAP(CTextPanel, Window)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_NCHITTEST, OnHitTest)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
END_MESSAGE_MAP()

CTextPanel::~CTextPanel()
{
    if (accessible_)
        accessible_->Disconnect();
}

// Transparent, so that the dialog's drawing shows through it.
bool CTextPanel::Place(HWND parent, const RECT& rect)
{
    if (GetHwnd())
        return MoveWindow(GetHwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          FALSE);
    static const std::string className = "VestrelTextPanel";
    if (!RegisterWindowClass(className, 0, nullptr, nullptr))
        return false;
    if (!Window::Create(className, text_, WS_CHILD | WS_VISIBLE, rect, parent, 0))
        return false;
    SetWindowLongW(GetHwnd(), GWL_EXSTYLE, GetWindowLongW(GetHwnd(), GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    return true;
}

void CTextPanel::SetText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    if (!GetHwnd())
        return;
    SetWindowTextW(GetHwnd(), ToWide(text).c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, GetHwnd(), OBJID_CLIENT, CHILDID_SELF);
}

LRESULT CTextPanel::OnPaint(WPARAM, LPARAM)
{
    ValidateRect(GetHwnd(), nullptr);
    return 0;
}

LRESULT CTextPanel::OnEraseBackground(WPARAM, LPARAM)
{
    return TRUE;
}

LRESULT CTextPanel::OnHitTest(WPARAM, LPARAM)
{
    return HTTRANSPARENT;
}

LRESULT CTextPanel::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (!WindowAccessible::AsksForClient(lParam))
        return Default();
    if (!accessible_)
        accessible_.reset(new TextPanelAccessible(GetHwnd()));
    return accessible_->Answer(wParam);
}

// Readers may hold the object longer than the window lives.
LRESULT CTextPanel::OnDestroy(WPARAM, LPARAM)
{
    if (accessible_)
        accessible_->Disconnect();
    accessible_.reset();
    return Default();
}
