#include "ui/CSkinButton.h"

#include "framework/Utf8.h"
#include "ui/HighContrast.h"
#include "ui/SkinDrawing.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

namespace {

constexpr COLORREF kTransparent = RGB(255, 255, 255);
constexpr int kFocusInset = 4; // clear of the faces' rounded corners

std::string WindowText(HWND hwnd)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return ToUtf8(text);
}

// By the button type alone, so that an owner-drawn or group-box style is never taken for a check box.
CSkinButton::Kind KindFromStyle(LONG style)
{
    switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
        return CSkinButton::Kind::CheckBox;
    case BS_AUTORADIOBUTTON:
        return CSkinButton::Kind::Radio;
    default:
        return CSkinButton::Kind::Push;
    }
}

bool IsButton(HWND hwnd)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, L"Button") == 0;
}

bool IsCursorOver(HWND hwnd)
{
    POINT cursor{};
    return GetCursorPos(&cursor) && WindowFromPoint(cursor) == hwnd;
}

bool TrackLeave(HWND hwnd, DWORD flags)
{
    TRACKMOUSEEVENT track{sizeof(track), flags, hwnd, HOVER_DEFAULT};
    return TrackMouseEvent(&track) != FALSE;
}

void Blit(HDC target, const RECT& rect, HDC source, SIZE size, bool stretch, DWORD rop)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (stretch)
        StretchBlt(target, rect.left, rect.top, width, height, source, 0, 0, size.cx, size.cy, rop);
    else
        BitBlt(target, rect.left, rect.top, width, height, source, 0, 0, rop);
}

} // namespace

BEGIN_MESSAGE_MAP(CSkinButton, Button)
    ON_REFLECTED(WM_DRAWITEM, OnDrawItem)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDoubleClick)
    ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(kUncheckMessage, OnUncheck)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(kClickMessage, OnClick)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
END_MESSAGE_MAP()

CSkinButton::~CSkinButton()
{
    if (accessible_)
        accessible_->Disconnect();
    Detach();
}

// The kind is read from the style the button was made with, before the style turns owner-drawn and loses
// it; the first paint is owner-drawn already.
void CSkinButton::OnAttached()
{
    LONG style = GetWindowLongW(GetHwnd(), GWL_STYLE);
    kind_ = KindFromStyle(style);
    default_ = kind_ == Kind::Push && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    SetButtonStyle((style & 0xFFFF & ~BS_TYPEMASK) | BS_OWNERDRAW, true);
}

void CSkinButton::SetSkin(UINT normal, UINT pressed, UINT hover, UINT disabled, UINT focus, UINT mask,
                          int drawMode, int border, int focusMargin)
{
    // Faces for the DPI; an owner whose DPI changed sets the skin again.
    const Dpi dpi = CurrentDpi();
    normal_ = normal ? LoadSkinBitmap(normal, dpi) : GdiObject<HBITMAP>();
    pressed_ = pressed ? LoadSkinBitmap(pressed, dpi) : GdiObject<HBITMAP>();
    hover_ = hover ? LoadSkinBitmap(hover, dpi) : GdiObject<HBITMAP>();
    disabled_ = LoadSkinBitmap(disabled ? disabled : normal, dpi);
    focus_ = focus ? LoadSkinBitmap(focus, dpi) : GdiObject<HBITMAP>();
    mask_ = mask ? LoadSkinBitmap(mask, dpi) : GdiObject<HBITMAP>();
    drawMode_ = (drawMode < 0 || (drawMode & 0x8000)) ? Plain : drawMode > 1 ? Tile : drawMode;
    border_ = (border & 0xFFFF) != 0;
    focusMargin_ = (focusMargin < 0 || (focusMargin & 0x8000)) ? 0 : focusMargin;
    if (mask_)
        ApplyMask();
    else if (shaped_ && SetWindowRgn(GetHwnd(), nullptr, TRUE))
        shaped_ = false;
    Redraw();
}

void CSkinButton::SetToolTipText(const std::string& text)
{
    if (!GetHwnd())
        return;
    toolTipText_ = text;
    if (toolTip_.GetHwnd())
        toolTip_.SetText(text);
    else
        toolTip_.Create(GetHwnd(), text);
}

COLORREF CSkinButton::SetTextColor(COLORREF colour)
{
    COLORREF previous = textColour_;
    textColour_ = colour;
    Redraw();
    return previous;
}

void CSkinButton::Paint(HDC dc, const RECT& rect, const Face& face) const
{
    if (HighContrastOn()) {
        PaintPlain(dc, rect, face);
        return;
    }
    RECT text{rect.left + focusMargin_ + 2, rect.top, rect.right - focusMargin_ - 2, rect.bottom};
    if (face.disabled) {
        DrawFace(dc, disabled_.get(), rect);
        if (border_)
            DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_RAISED, BF_RECT);
        // Engraved: a light caption with the grey one a pixel up and left of it.
        DrawCaption(dc, face.caption, text, GetSysColor(COLOR_BTNHIGHLIGHT));
        OffsetRect(&text, -1, -1);
        DrawCaption(dc, face.caption, text, GetSysColor(COLOR_GRAYTEXT));
        return;
    }
    if (face.pressed) {
        DrawFace(dc, pressed_.get(), rect);
        OffsetRect(&text, 1, 1);
        if (border_)
            DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_SUNKEN, BF_RECT);
    } else {
        HBITMAP bitmap = normal_.get();
        if (bitmap && face.hovering && hover_)
            bitmap = hover_.get();
        else if (bitmap && face.focused && focus_)
            bitmap = focus_.get();
        DrawFace(dc, bitmap, rect);
        if (border_)
            DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_RAISED, BF_RECT);
    }
    if (face.focused && focusMargin_ > 0) {
        RECT focusRect = rect;
        InflateRect(&focusRect, -focusMargin_, -focusMargin_);
        DrawFocusRect(dc, &focusRect);
    }
    if (face.focused && face.focusCue) {
        const Dpi dpi = CurrentDpi();
        RECT cue = rect;
        InflateRect(&cue, -dpi.Scale(kFocusInset), -dpi.Scale(kFocusInset));
        DrawFocusFrame(dc, cue, dpi.Scale(1));
    }
    DrawCaption(dc, face.caption, text, textColour_);
}

// No bitmap: the button face with a frame and the caption (a picture's button says what its tooltip
// says), the highlight while pressed, checked or the page shown, and the focus always framed.
void CSkinButton::PaintPlain(HDC dc, const RECT& rect, const Face& face) const
{
    const bool marked = face.pressed || selectedTab_;
    const bool greyed = face.disabled && !selectedTab_;
    FillRect(dc, &rect, SystemBrush(marked ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    const int ink = greyed ? COLOR_GRAYTEXT : marked ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT;
    FrameRect(dc, &rect, SystemBrush(ink));
    if (face.focused) {
        RECT focus = rect;
        InflateRect(&focus, -2, -2);
        FrameRect(dc, &focus, SystemBrush(ink));
        InflateRect(&focus, -1, -1);
        FrameRect(dc, &focus, SystemBrush(ink));
    }
    if (captionGlyph_ != CaptionGlyph::None) {
        DrawCaptionGlyph(dc, rect, GetSysColor(ink));
        return;
    }
    RECT text = rect;
    InflateRect(&text, -4, 0);
    DrawPlainCaption(dc, face.caption.empty() ? toolTipText_ : face.caption, text, GetSysColor(ink));
}

// Lines in the caption's colour, a third of the button wide: a bar low down, or a cross.
void CSkinButton::DrawCaptionGlyph(HDC dc, const RECT& rect, COLORREF colour) const
{
    const int width = std::max(1, CurrentDpi().Scale(2));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, width, colour));
    SelectedObject selected(dc, pen.get());
    const int size = std::min(rect.right - rect.left, rect.bottom - rect.top) / 3;
    const int left = (rect.left + rect.right - size) / 2;
    const int top = (rect.top + rect.bottom - size) / 2;
    if (captionGlyph_ == CaptionGlyph::Minimize) {
        MoveToEx(dc, left, top + size, nullptr);
        LineTo(dc, left + size, top + size);
        return;
    }
    MoveToEx(dc, left, top, nullptr);
    LineTo(dc, left + size, top + size);
    MoveToEx(dc, left + size, top, nullptr);
    LineTo(dc, left, top + size);
}

// Without the skin's pictures a caption may be wider than its button: it goes on two lines where they
// fit, else it ends in an ellipsis, never cut at both sides.
void CSkinButton::DrawPlainCaption(HDC dc, const std::string& caption, RECT area, COLORREF colour) const
{
    std::wstring text = ToWide(caption);
    const int length = static_cast<int>(text.size());
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    RECT wrapped = area;
    DrawTextW(dc, text.c_str(), length, &wrapped, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    SIZE single{};
    GetTextExtentPoint32W(dc, text.c_str(), length, &single);
    if (single.cx > area.right - area.left && wrapped.right - wrapped.left <= area.right - area.left &&
        wrapped.bottom - wrapped.top <= area.bottom - area.top) {
        const int height = wrapped.bottom - wrapped.top;
        area.top += (area.bottom - area.top - height) / 2;
        area.bottom = area.top + height;
        format = DT_CENTER | DT_WORDBREAK;
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), length, &area, format);
    ::SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

LRESULT CSkinButton::OnDrawItem(WPARAM, LPARAM lParam)
{
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (FollowPressWhileHeld())
        return TRUE; // changing the pushed state has drawn the button again
    Face face;
    face.disabled = (item.itemState & ODS_DISABLED) != 0;
    face.pressed = (item.itemState & ODS_SELECTED) != 0 || checked_;
    face.hovering = hovering_;
    face.focused = (item.itemState & ODS_FOCUS) != 0;
    face.focusCue = (item.itemState & ODS_NOFOCUSRECT) == 0;
    face.caption = WindowText(GetHwnd());
    auto font = reinterpret_cast<HFONT>(SendMessageW(GetHwnd(), WM_GETFONT, 0, 0));
    SelectedObject selected(item.hDC, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    Paint(item.hDC, item.rcItem, face);
    return TRUE;
}

LRESULT CSkinButton::OnEraseBackground(WPARAM, LPARAM)
{
    return TRUE; // the face covers the button
}

LRESULT CSkinButton::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    toolTip_.Relay(GetHwnd(), WM_MOUSEMOVE, wParam, lParam);
    if (held_ && GetCapture() == GetHwnd()) {
        RECT client{};
        GetClientRect(GetHwnd(), &client);
        bool over = PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
        if (over != ((GetState() & BST_PUSHED) != 0))
            SetState(over);
    } else if (!hovering_ && TrackLeave(GetHwnd(), TME_LEAVE)) {
        hovering_ = true;
        Redraw();
    }
    return Default();
}

LRESULT CSkinButton::OnMouseLeave(WPARAM, LPARAM)
{
    hovering_ = false;
    Redraw();
    return Default();
}

LRESULT CSkinButton::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    PressDown(WM_LBUTTONDOWN, wParam, lParam);
    return 0;
}

// The second press of a double click is one more press, so a quick double click presses twice.
LRESULT CSkinButton::OnLButtonDoubleClick(WPARAM wParam, LPARAM lParam)
{
    PressDown(WM_LBUTTONDOWN, wParam, lParam);
    return 0;
}

LRESULT CSkinButton::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    if (GetKind() != Kind::Push && IsCursorOver(GetHwnd()))
        ApplyCheckClick();
    toolTip_.Relay(GetHwnd(), WM_LBUTTONUP, wParam, lParam);
    held_ = false;
    return Default();
}

LRESULT CSkinButton::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    // Bit 30 marks auto-repeat: holding the space bar toggles once.
    bool repeated = (lParam & (1 << 30)) != 0;
    if (wParam == VK_SPACE && !repeated && GetKind() != Kind::Push)
        ApplyCheckClick();
    return Default();
}

// Focus that Tab or an arrow key brought must show, whatever the dialog's cues were after mouse use.
LRESULT CSkinButton::OnSetFocus(WPARAM, LPARAM)
{
    for (int key : {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
        if (GetKeyState(key) < 0) {
            SendMessageW(GetHwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            break;
        }
    }
    return Default();
}

LRESULT CSkinButton::OnKillFocus(WPARAM, LPARAM)
{
    if (GetCapture() == GetHwnd()) {
        ReleaseCapture();
        held_ = false;
    }
    return Default();
}

LRESULT CSkinButton::OnSetCheck(WPARAM wParam, LPARAM)
{
    const bool was = checked_;
    checked_ = wParam != BST_UNCHECKED && GetKind() != Kind::Push;
    if (checked_ && kind_ == Kind::Radio)
        UncheckGroup();
    Redraw();
    if (checked_ != was)
        Announce(EVENT_OBJECT_STATECHANGE);
    return 0;
}

LRESULT CSkinButton::OnGetCheck(WPARAM, LPARAM)
{
    return checked_ ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CSkinButton::OnUncheck(WPARAM, LPARAM)
{
    if (checked_) {
        checked_ = false;
        Redraw();
        Announce(EVENT_OBJECT_STATECHANGE);
    }
    return 0;
}

void CSkinButton::SetSelectedTab(bool selected)
{
    if (selectedTab_ == selected)
        return;
    selectedTab_ = selected;
    Redraw(); // without the skin the selected tab has a face of its own
    Announce(EVENT_OBJECT_STATECHANGE);
    if (selected)
        Announce(EVENT_OBJECT_SELECTION);
}

// As the keyboard's Space does: a check box or radio button takes its new state, then the parent hears
// BN_CLICKED.
LRESULT CSkinButton::OnClick(WPARAM, LPARAM)
{
    if (!IsWindowEnabled(GetHwnd()))
        return 0;
    if (GetKind() != Kind::Push)
        ApplyCheckClick();
    SendMessageW(GetParent(GetHwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(GetHwnd()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetHwnd()));
    return 0;
}

LRESULT CSkinButton::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (!WindowAccessible::AsksForClient(lParam))
        return Default();
    if (!accessible_)
        accessible_.reset(new SkinButtonAccessible(*this));
    return accessible_->Answer(wParam);
}

// Readers may hold the object longer than the window lives.
LRESULT CSkinButton::OnDestroy(WPARAM, LPARAM)
{
    if (accessible_)
        accessible_->Disconnect();
    accessible_.reset();
    return Default();
}

void CSkinButton::Announce(DWORD event) const
{
    if (GetHwnd())
        NotifyWinEvent(event, GetHwnd(), OBJID_CLIENT, CHILDID_SELF);
}

// An owner-drawn button would say only DLGC_BUTTON, and Enter would then always give the dialog's default
// id, whichever button has the focus. A push button with the focus is the one Enter presses, as with
// standard push buttons; without the focus it is the default only while the dialog manager says so.
LRESULT CSkinButton::OnGetDlgCode(WPARAM, LPARAM)
{
    if (GetKind() != Kind::Push)
        return Default();
    const bool isDefault = default_ || GetFocus() == GetHwnd();
    return DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// The dialog manager moves the default by setting BS_DEFPUSHBUTTON or BS_PUSHBUTTON: the button keeps
// drawing itself and only notes which it is.
LRESULT CSkinButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
    if (type == BS_OWNERDRAW)
        return Default();
    if (kind_ == Kind::Push)
        default_ = type == BS_DEFPUSHBUTTON;
    DefSubclassProc(GetHwnd(), BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW,
                    lParam);
    return 0;
}

// While a press is held, the pushed look follows whether the cursor is over the button.
bool CSkinButton::FollowPressWhileHeld()
{
    if (!held_ || GetCapture() != GetHwnd())
        return false;
    POINT cursor{};
    if (!GetCursorPos(&cursor))
        return false;
    bool over = WindowFromPoint(cursor) == GetHwnd();
    bool pushed = (GetState() & BST_PUSHED) != 0;
    if (over == pushed)
        return false;
    SetState(over);
    return true;
}

// The hover face gives way to the pressed one; the standard handling captures the mouse.
void CSkinButton::PressDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    toolTip_.Relay(GetHwnd(), message, wParam, lParam);
    if (hovering_ && TrackLeave(GetHwnd(), TME_CANCEL | TME_LEAVE))
        hovering_ = false;
    DefSubclassProc(GetHwnd(), message, wParam, lParam);
    held_ = true;
}

void CSkinButton::ApplyCheckClick()
{
    SendMessageW(GetHwnd(), BM_SETCHECK, kind_ == Kind::CheckBox && checked_ ? BST_UNCHECKED : BST_CHECKED,
                 0);
}

// The group is this button's run of siblings: from the nearest one at or before it with WS_GROUP up to the
// next one with WS_GROUP. Walked directly rather than with GetNextDlgGroupItem, which skips disabled and
// hidden buttons and would leave them checked. The message is private, so only buttons are told; and it is
// sent rather than posted, so that checking two buttons in a row never leaves a late uncheck for the second.
void CSkinButton::UncheckGroup()
{
    HWND self = GetHwnd();
    HWND first = self;
    while (!(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous)
            break;
        first = previous;
    }
    for (HWND member = first; member; member = GetWindow(member, GW_HWNDNEXT)) {
        if (member != first && (GetWindowLongW(member, GWL_STYLE) & WS_GROUP))
            break;
        if (member != self && IsButton(member))
            SendMessageW(member, kUncheckMessage, 0, 0);
    }
}

// The window takes the region (the system owns it from then on); a Plain face takes the mask's size.
void CSkinButton::ApplyMask()
{
    GdiObject<HRGN> region = RegionFromMask(mask_.get(), kTransparent);
    if (region && SetWindowRgn(GetHwnd(), region.get(), TRUE)) {
        region.release();
        shaped_ = true;
    }
    if (drawMode_ == Plain) {
        SIZE size = BitmapSize(mask_.get());
        SetWindowPos(GetHwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Dpi CSkinButton::CurrentDpi() const
{
    return dpi_ ? *dpi_ : Dpi::ForWindow(GetHwnd());
}

void CSkinButton::Redraw() const
{
    if (GetHwnd())
        InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CSkinButton::DrawFace(HDC dc, HBITMAP bitmap, const RECT& rect) const
{
    if (!bitmap) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    if (mask_ && drawMode_ != Tile) {
        DrawMasked(dc, bitmap, rect);
        return;
    }
    SIZE size = BitmapSize(bitmap);
    MemoryDC source(CreateCompatibleDC(dc));
    SelectedObject selected(source.get(), bitmap);
    if (drawMode_ != Tile) {
        Blit(dc, rect, source.get(), size, drawMode_ == Stretch, SRCCOPY);
        return;
    }
    for (int y = rect.top; y < rect.bottom; y += size.cy) {
        for (int x = rect.left; x < rect.right; x += size.cx) {
            int width = std::min<int>(size.cx, rect.right - x);
            int height = std::min<int>(size.cy, rect.bottom - y);
            BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCCOPY);
        }
    }
}

// Off screen: what is there now, the face inverted in, the mask's black kept, the face inverted back.
// Where the mask is white the old pixels come back unchanged; where it is black the face remains.
void CSkinButton::DrawMasked(HDC dc, HBITMAP bitmap, const RECT& rect) const
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    MemoryDC work(CreateCompatibleDC(dc));
    MemoryDC source(CreateCompatibleDC(dc));
    GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(dc, width, height));
    if (!work || !source || !canvas)
        return;
    SelectedObject selectedCanvas(work.get(), canvas.get());
    BitBlt(work.get(), 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    const RECT area{0, 0, width, height};
    const bool stretch = drawMode_ == Stretch;
    {
        SelectedObject face(source.get(), bitmap);
        Blit(work.get(), area, source.get(), BitmapSize(bitmap), stretch, SRCINVERT);
    }
    {
        SelectedObject mask(source.get(), mask_.get());
        Blit(work.get(), area, source.get(), BitmapSize(mask_.get()), stretch, SRCAND);
    }
    {
        SelectedObject face(source.get(), bitmap);
        Blit(work.get(), area, source.get(), BitmapSize(bitmap), stretch, SRCINVERT);
    }
    BitBlt(dc, rect.left, rect.top, width, height, work.get(), 0, 0, SRCCOPY);
}

void CSkinButton::DrawCaption(HDC dc, const std::string& caption, RECT area, COLORREF colour) const
{
    std::wstring text = ToWide(caption);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}
