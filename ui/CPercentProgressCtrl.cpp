#include "ui/CPercentProgressCtrl.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "ui/HighContrast.h"

#include <algorithm>
#include <cstdio>

namespace {

// How much of the range the position covers, from 0 to 1.
double Fraction(const ProgressLook& look)
{
    if (look.upper == look.lower)
        return 0.0;
    double fraction = static_cast<double>(look.pos - look.lower) / (look.upper - look.lower);
    return std::clamp(fraction, 0.0, 1.0);
}

RECT BarRect(const RECT& rect, const ProgressLook& look)
{
    RECT bar = rect;
    double fraction = Fraction(look);
    if (look.vertical)
        bar.top = rect.bottom - static_cast<int>((rect.bottom - rect.top) * fraction);
    else
        bar.right = rect.left + static_cast<int>((rect.right - rect.left) * fraction);
    return bar;
}

// One channel of start + i x step, where step may be negative; kept to its byte.
COLORREF Blend(COLORREF start, COLORREF end, int i, int n)
{
    auto channel = [&](int shift) {
        int from = (start >> shift) & 0xFF;
        int step = (static_cast<int>((end >> shift) & 0xFF) - from) / n;
        return static_cast<COLORREF>((from + i * step) & 0xFF) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

void Line(HDC dc, COLORREF colour, int x0, int y0, int x1, int y1)
{
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
    SelectedObject selected(dc, pen.get());
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// Lines from both outer edges towards the middle, from the start colour to the end colour.
void Shade(HDC dc, const RECT& bar, const ProgressLook& look)
{
    if (IsRectEmpty(&bar))
        return;
    int n = (look.vertical ? bar.right - bar.left : bar.bottom - bar.top) / 2;
    if (n < 2)
        n = 1;
    for (int i = 0; i <= n; ++i) {
        COLORREF colour = Blend(look.startColour, look.endColour, i, n);
        if (look.vertical) {
            Line(dc, colour, bar.left + i, bar.top, bar.left + i, bar.bottom);
            Line(dc, colour, bar.right - i, bar.top, bar.right - i, bar.bottom);
        } else {
            Line(dc, colour, bar.left, bar.top + i, bar.right, bar.top + i);
            Line(dc, colour, bar.left, bar.bottom - i, bar.right, bar.bottom - i);
        }
    }
}

void WritePercent(HDC dc, const RECT& rect, const ProgressLook& look)
{
    std::wstring wide = ToWide(CPercentProgressCtrl::PercentText(look));
    RECT area = rect;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, look.textColour);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

HFONT FontFor(HWND control)
{
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)))
        return font;
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(control), WM_GETFONT, 0, 0)))
        return font;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

BEGIN_MESSAGE_MAP(CPercentProgressCtrl, ProgressBar)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(PBM_SETPOS, OnMoved)
    ON_MESSAGE(PBM_DELTAPOS, OnMoved)
    ON_MESSAGE(PBM_STEPIT, OnMoved)
    ON_MESSAGE(PBM_SETRANGE, OnMoved)
    ON_MESSAGE(PBM_SETRANGE32, OnMoved)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
END_MESSAGE_MAP()

CPercentProgressCtrl::~CPercentProgressCtrl()
{
    if (accessible_)
        accessible_->Disconnect();
}

void CPercentProgressCtrl::ShowPercent(bool show)
{
    showPercent_ = show;
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CPercentProgressCtrl::SetColours(COLORREF ground, COLORREF edge, COLORREF middle)
{
    colours_.groundColour = ground;
    colours_.startColour = edge;
    colours_.endColour = middle;
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

ProgressLook CPercentProgressCtrl::Look() const
{
    ProgressLook look = colours_;
    PBRANGE range = GetRange();
    look.lower = range.iLow;
    look.upper = range.iHigh;
    look.pos = GetPos();
    look.vertical = (GetWindowLongW(GetHwnd(), GWL_STYLE) & PBS_VERTICAL) != 0;
    look.showPercent = showPercent_;
    return look;
}

std::string CPercentProgressCtrl::PercentText(const ProgressLook& look)
{
    char text[16]; // at most "100 %"
    std::snprintf(text, sizeof text, "%3.0f %%", 100.0 * Fraction(look));
    return text;
}

std::string CPercentProgressCtrl::PercentValue(const ProgressLook& look)
{
    return std::to_string(static_cast<int>(100.0 * Fraction(look) + 0.5)) + "%";
}

// Readers hear the new value only when the percentage they would read changed.
LRESULT CPercentProgressCtrl::OnMoved(WPARAM, LPARAM)
{
    const std::string before = PercentValue(Look());
    const LRESULT result = Default();
    if (PercentValue(Look()) != before)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, GetHwnd(), OBJID_CLIENT, CHILDID_SELF);
    return result;
}

LRESULT CPercentProgressCtrl::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (!WindowAccessible::AsksForClient(lParam))
        return Default();
    if (!accessible_)
        accessible_.reset(new PercentProgressAccessible(*this));
    return accessible_->Answer(wParam);
}

// Readers may hold the object longer than the window lives.
LRESULT CPercentProgressCtrl::OnDestroy(WPARAM, LPARAM)
{
    if (accessible_)
        accessible_->Disconnect();
    accessible_.reset();
    return Default();
}

// The bar in the highlight colour on the window colour, framed in the text colour; the percentage in the
// highlight text colour over the bar and the text colour beside it.
void CPercentProgressCtrl::PaintPlain(HDC dc, const RECT& rect, const ProgressLook& look)
{
    FillRect(dc, &rect, SystemBrush(COLOR_WINDOW));
    const RECT bar = BarRect(rect, look);
    FillRect(dc, &bar, SystemBrush(COLOR_HIGHLIGHT));
    FrameRect(dc, &rect, SystemBrush(COLOR_WINDOWTEXT));
    if (!look.showPercent || look.pos == look.lower)
        return;
    for (bool overBar : {true, false}) {
        const int saved = SaveDC(dc);
        if (overBar)
            IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
        else
            ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
        ProgressLook part = look;
        part.textColour = GetSysColor(overBar ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        WritePercent(dc, rect, part);
        RestoreDC(dc, saved);
    }
}

void CPercentProgressCtrl::Paint(HDC dc, const RECT& rect, const ProgressLook& look)
{
    if (HighContrastOn()) {
        PaintPlain(dc, rect, look);
        return;
    }
    GdiObject<HBRUSH> ground(CreateSolidBrush(look.groundColour));
    FillRect(dc, &rect, ground.get());
    Shade(dc, BarRect(rect, look), look);
    // At the lower bound the bar is empty and says nothing.
    if (look.showPercent && look.pos != look.lower)
        WritePercent(dc, rect, look);
}

LRESULT CPercentProgressCtrl::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    if (paint.get())
        PaintBuffered(paint.get());
    return 0;
}

LRESULT CPercentProgressCtrl::OnPrintClient(WPARAM wParam, LPARAM)
{
    PaintBuffered(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CPercentProgressCtrl::OnEraseBackground(WPARAM, LPARAM)
{
    return TRUE; // the paint covers every pixel
}

// Drawn off screen first, so the bar never flickers through grey while it advances.
void CPercentProgressCtrl::PaintBuffered(HDC dc)
{
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    MemoryDC buffer(CreateCompatibleDC(dc));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!buffer || !bitmap)
        return;
    SelectedObject selectedBitmap(buffer.get(), bitmap.get());
    SelectedObject selectedFont(buffer.get(), FontFor(GetHwnd()));
    Paint(buffer.get(), RECT{0, 0, width, height}, Look());
    BitBlt(dc, client.left, client.top, width, height, buffer.get(), 0, 0, SRCCOPY);
}
