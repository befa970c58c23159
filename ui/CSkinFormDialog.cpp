#include "ui/CSkinFormDialog.h"

#include "ui/HighContrast.h"

#include "framework/Utf8.h"
#include "ui/SkinDrawing.h"

namespace {

constexpr int kIconSize = 20;    // at 96 DPI
constexpr int kTitleHeight = 17; // the title's font, at 96 DPI
constexpr int kMargin = 12;      // from the left edge to the icon, and from the icon to the title
constexpr int kLineAboveButtons = 7;

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

bool IsPushButton(HWND control)
{
    wchar_t className[16] = {};
    GetClassNameW(control, className, static_cast<int>(std::size(className)));
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return _wcsicmp(className, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

std::vector<int> PushButtonIds(HWND dialog)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsPushButton(child))
            ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

} // namespace

BEGIN_MESSAGE_MAP(CSkinFormDialog, CSkinDialog)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_CTLCOLORSTATIC, OnControlColour)
    ON_MESSAGE(WM_CTLCOLORBTN, OnControlColour)
    ON_MESSAGE(WM_CTLCOLORDLG, OnControlColour)
END_MESSAGE_MAP()

// No background bitmap: the surface is painted to the template's size.
CSkinFormDialog::CSkinFormDialog(UINT templateId, const Skin& skin, std::string title)
    : CSkinDialog(templateId, 0),
      skin_(skin),
      title_(std::move(title)),
      bodyBrush_(CreateSolidBrush(kSkinBodyColour))
{
}

bool CSkinFormDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(title_).c_str());
    for (int id : PushButtonIds(GetHwnd())) {
        buttons_.push_back(std::make_unique<CSkinButton>());
        AttachItem(id, *buttons_.back());
    }
    icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(skin_.iconId),
                                          IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    Layout();
    return true;
}

// The faces and the title's font for the window's DPI; the template's places scale by themselves.
void CSkinFormDialog::Layout()
{
    for (auto& button : buttons_) {
        button->SetDpi(WindowDpi());
        button->SetSkin(skin_.buttons.face, skin_.buttons.hoverFace, skin_.buttons.hoverFace, 0, 0, 0,
                        CSkinButton::Stretch);
    }
    titleFont_ = CreateSkinFont(WindowDpi().Scale(kTitleHeight));
}

CSkinFormDialog::Surface CSkinFormDialog::CurrentSurface() const
{
    RECT band{0, 0, 0, skin_.bandHeight};
    MapDialogRect(GetHwnd(), &band);
    Surface surface{band.bottom, 0, icon_, WindowDpi().Scale(kIconSize), titleFont_.get(), {}};
    RECT ok{};
    if (HWND button = GetItem(IDOK); button && GetWindowRect(button, &ok)) {
        MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&ok), 2);
        surface.buttonLine = ok.top - WindowDpi().Scale(kLineAboveButtons);
    }
    surface.title = title_;
    return surface;
}

// In high contrast the band is the body's colour with a line under it, and text and lines the text colour.
void CSkinFormDialog::Paint(HDC dc, const RECT& client, const Surface& surface)
{
    const bool contrast = HighContrastOn();
    const COLORREF body = contrast ? GetSysColor(COLOR_BTNFACE) : kSkinBodyColour;
    const COLORREF ink = contrast ? GetSysColor(COLOR_BTNTEXT) : kSkinBodyLineColour;
    Fill(dc, client, body);
    Fill(dc, RECT{client.left, client.top, client.right, client.top + surface.bandBottom},
         contrast ? body : kSkinBandColour);
    if (contrast)
        Fill(dc, RECT{client.left, surface.bandBottom - 1, client.right, surface.bandBottom}, ink);
    if (surface.buttonLine > surface.bandBottom)
        Fill(dc, RECT{client.left, surface.buttonLine, client.right, surface.buttonLine + 1}, ink);
    const int margin = surface.iconSize * kMargin / kIconSize;
    const int iconTop = (surface.bandBottom - surface.iconSize) / 2;
    if (surface.icon)
        DrawIconEx(dc, margin, iconTop, surface.icon, surface.iconSize, surface.iconSize, 0, nullptr,
                   DI_NORMAL);
    RECT title{margin * 2 + surface.iconSize, 0, client.right - margin, surface.bandBottom};
    std::wstring text = ToWide(surface.title);
    SelectedObject font(dc, surface.titleFont);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, contrast ? GetSysColor(COLOR_BTNTEXT) : kSkinOnBandColour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &title,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    // Borderless windows still need an edge against a light desktop.
    GdiObject<HBRUSH> edge(CreateSolidBrush(contrast ? GetSysColor(COLOR_WINDOWFRAME) : kSkinEdgeColour));
    FrameRect(dc, &client, edge.get());
}

LRESULT CSkinFormDialog::OnEraseBackground(WPARAM wParam, LPARAM)
{
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    Paint(reinterpret_cast<HDC>(wParam), client, CurrentSurface());
    return TRUE;
}

// Check boxes, group boxes and labels stand on the body: its colour behind their text, the skin's ink.
LRESULT CSkinFormDialog::OnControlColour(WPARAM wParam, LPARAM)
{
    auto dc = reinterpret_cast<HDC>(wParam);
    if (HighContrastOn()) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(SystemBrush(COLOR_BTNFACE));
    }
    SetTextColor(dc, kSkinInkColour);
    SetBkColor(dc, kSkinBodyColour);
    return reinterpret_cast<LRESULT>(bodyBrush_.get());
}
