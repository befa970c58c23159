#include "app/CEntryListDialog.h"

#include "app/AppSkin.h"
#include "framework/Utf8.h"
#include "resource.h"
#include "ui/SkinDrawing.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace {

// In 96-DPI pixels.
constexpr SIZE kOpenSize{560, 380};
constexpr SIZE kMinimumSize{380, 260};
constexpr int kHeaderHeight = 70;
constexpr int kMargin = 12;
constexpr int kButtonGap = 8;
constexpr int kGrip = 8; // how far inside the edges a press resizes the window
constexpr int kHeadingHeight = 18;
constexpr int kTextHeight = 13;
constexpr COLORREF kHeaderTop = RGB(13, 33, 47);
constexpr COLORREF kHeaderBottom = RGB(20, 37, 58);
constexpr COLORREF kHeading = RGB(255, 255, 255);
constexpr COLORREF kSubheading = RGB(150, 165, 185);

int Blend(int from, int to, int step, int steps)
{
    return from + (to - from) * step / std::max(1, steps);
}

// The header's gradient, top to bottom, as the skin's backgrounds have it.
void FillHeader(HDC dc, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        COLORREF colour = RGB(Blend(GetRValue(kHeaderTop), GetRValue(kHeaderBottom), y, height),
                              Blend(GetGValue(kHeaderTop), GetGValue(kHeaderBottom), y, height),
                              Blend(GetBValue(kHeaderTop), GetBValue(kHeaderBottom), y, height));
        GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        RECT line{0, y, width, y + 1};
        FillRect(dc, &line, brush.get());
    }
}

} // namespace

BEGIN_MESSAGE_MAP(CEntryListDialog, CSkinDialog)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_NCHITTEST, OnHitTest)
    ON_MESSAGE(WM_GETMINMAXINFO, OnMinMaxInfo)
    ON_MESSAGE(WM_SIZE, OnSize)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
    ON_COMMAND(IDC_DETAILS_COPY, OnCopy)
END_MESSAGE_MAP()

// No background bitmap: the skin's look is drawn to any size.
CEntryListDialog::CEntryListDialog() : CSkinDialog(IDD_ERASE_DETAILS, 0)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

std::string CEntryListDialog::CopyText(const std::vector<Row>& rows)
{
    std::string text;
    for (const Row& row : rows) {
        for (size_t column = 0; column < row.size(); ++column)
            text += (column ? "\t" : "") + row[column];
        text += "\r\n";
    }
    return text;
}

bool CEntryListDialog::PutOnClipboard(HWND owner, const std::string& text)
{
    const std::wstring wide = ToWide(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, wide.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // The clipboard owns the memory once it has taken it.
    const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!taken)
        GlobalFree(memory);
    return taken;
}

bool CEntryListDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(windowName).c_str());
    list_ = GetItem(IDC_DETAILS_LIST);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    AttachItem(IDC_DETAILS_COPY, copy_);
    copy_.SetToolTipText("Copy every line (Ctrl+C)");
    AttachItem(IDOK, close_);
    close_.SetToolTipText("Close");
    AddColumns();
    ListView_SetItemCountEx(list_, static_cast<int>(rows.size()), LVSICF_NOINVALIDATEALL);
    // Over its owner's middle, as large as it opens; the system keeps it on the screen.
    const SIZE size = WindowDpi().Scale(kOpenSize);
    RECT owner{};
    HWND ownerWindow = GetWindow(GetHwnd(), GW_OWNER);
    if (!ownerWindow || !GetWindowRect(ownerWindow, &owner))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    SetWindowPos(GetHwnd(), nullptr, (owner.left + owner.right - size.cx) / 2,
                 std::max(0L, (owner.top + owner.bottom - size.cy) / 2), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    SetFocus(list_);
    return false;
}

void CEntryListDialog::AddColumns()
{
    for (size_t index = 0; index < columns.size(); ++index) {
        std::wstring title = ToWide(columns[index].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[index].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = WindowDpi().Scale(columns[index].width);
        column.pszText = title.data();
        ListView_InsertColumn(list_, static_cast<int>(index), &column);
    }
}

void CEntryListDialog::PlaceButton(CSkinButton& button, int left, int top)
{
    PlaceSkinButton(button, kPushButtonSkin, WindowDpi(), 0, 0);
    SetWindowPos(button.GetHwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Every place and size for the window's size and DPI; the list takes what the header and buttons leave.
void CEntryListDialog::Layout()
{
    const Dpi& dpi = WindowDpi();
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    const int margin = dpi.Scale(kMargin);
    const SIZE button = dpi.Scale(kPushButtonSkin.size);
    const int buttonTop = client.bottom - margin - button.cy;
    const int closeLeft = client.right - margin - button.cx;
    PlaceButton(close_, closeLeft, buttonTop);
    PlaceButton(copy_, closeLeft - dpi.Scale(kButtonGap) - button.cx, buttonTop);
    const int listTop = dpi.Scale(kHeaderHeight) + margin;
    SetWindowPos(list_, nullptr, margin, listTop, client.right - 2 * margin,
                 std::max(0, buttonTop - margin - listTop), SWP_NOZORDER | SWP_NOACTIVATE);
    // The last column reaches the list's right edge.
    if (!columns.empty())
        ListView_SetColumnWidth(list_, static_cast<int>(columns.size()) - 1, LVSCW_AUTOSIZE_USEHEADER);
    headingFont_ = CreateSkinFont(dpi.Scale(kHeadingHeight));
    textFont_ = CreateSkinFont(dpi.Scale(kTextHeight));
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

LRESULT CEntryListDialog::OnEraseBackground(WPARAM wParam, LPARAM)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    GdiObject<HBRUSH> body(CreateSolidBrush(kSkinBodyColour));
    FillRect(dc, &client, body.get());
    PaintHeader(dc, client);
    // The grip says where the window is resized.
    const int grip = GetSystemMetrics(SM_CXVSCROLL);
    RECT corner{client.right - grip, client.bottom - grip, client.right, client.bottom};
    DrawFrameControl(dc, &corner, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    return TRUE;
}

void CEntryListDialog::PaintHeader(HDC dc, const RECT& client) const
{
    const Dpi& dpi = WindowDpi();
    FillHeader(dc, client.right, dpi.Scale(kHeaderHeight));
    const int left = dpi.Scale(20);
    const int right = client.right - left;
    DrawTextLines(dc, {headingFont_.get(), kHeading, POINT{left, dpi.Scale(15)}, 0, right}, {heading});
    DrawTextLines(dc, {textFont_.get(), kSubheading, POINT{left, dpi.Scale(40)}, 0, right}, {subheading});
}

// The edges and corners resize the window; the rest of its surface drags it.
LRESULT CEntryListDialog::OnHitTest(WPARAM, LPARAM lParam)
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT window{};
    GetWindowRect(GetHwnd(), &window);
    const int grip = WindowDpi().Scale(kGrip);
    const bool left = point.x < window.left + grip;
    const bool right = point.x >= window.right - grip;
    const bool top = point.y < window.top + grip;
    const bool bottom = point.y >= window.bottom - grip;
    if (bottom)
        return right ? HTBOTTOMRIGHT : left ? HTBOTTOMLEFT : HTBOTTOM;
    if (top)
        return right ? HTTOPRIGHT : left ? HTTOPLEFT : HTTOP;
    if (left)
        return HTLEFT;
    if (right)
        return HTRIGHT;
    return Default();
}

LRESULT CEntryListDialog::OnMinMaxInfo(WPARAM, LPARAM lParam)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const SIZE minimum = WindowDpi().Scale(kMinimumSize);
    info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
    return 0;
}

LRESULT CEntryListDialog::OnSize(WPARAM, LPARAM)
{
    if (list_)
        Layout();
    return 0;
}

LRESULT CEntryListDialog::OnNotify(WPARAM, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom != list_)
        return Default();
    if (header->code == LVN_GETDISPINFOW) {
        FillCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
    } else if (header->code == LVN_KEYDOWN) {
        auto* key = reinterpret_cast<NMLVKEYDOWN*>(lParam);
        if (key->wVKey == 'C' && GetKeyState(VK_CONTROL) < 0)
            OnCopy();
    }
    return 0;
}

void CEntryListDialog::FillCell(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= rows.size())
        return;
    const Row& row = rows[static_cast<size_t>(item.iItem)];
    const size_t column = static_cast<size_t>(item.iSubItem);
    const std::wstring text = column < row.size() ? ToWide(row[column]) : std::wstring();
    if (item.pszText && item.cchTextMax > 0)
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

void CEntryListDialog::OnCopy()
{
    if (!PutOnClipboard(GetHwnd(), CopyText(rows)))
        MessageBeep(MB_ICONWARNING);
}
