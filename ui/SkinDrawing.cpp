#include "ui/SkinDrawing.h"

#include "ui/HighContrast.h"

#include "framework/Utf8.h"

#include <algorithm>
#include <vector>

namespace {

// The pixels of a bitmap as top-down rows of 0x00RRGGBB values.
std::vector<DWORD> ReadPixels(HBITMAP bitmap, SIZE size)
{
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) != size.cy)
        pixels.clear();
    return pixels;
}

DWORD ToPixel(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

GdiObject<HRGN> RegionFromRects(const std::vector<RECT>& rects)
{
    std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    data->rdh.rcBound = RECT{};
    for (const RECT& rect : rects)
        UnionRect(&data->rdh.rcBound, &data->rdh.rcBound, &rect);
    std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data->Buffer));
    return GdiObject<HRGN>(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
}

} // namespace

GdiObject<HBITMAP> LoadSkinBitmap(UINT id)
{
    HANDLE image =
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    return GdiObject<HBITMAP>(static_cast<HBITMAP>(image));
}

namespace {

GdiObject<HBITMAP> ResizedBitmap(HBITMAP source, SIZE from, SIZE to)
{
    WindowDC screen(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = to.cx;
    info.bmiHeader.biHeight = to.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> target(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC sourceDc(CreateCompatibleDC(screen.get()));
    MemoryDC targetDc(CreateCompatibleDC(screen.get()));
    if (!target || !sourceDc || !targetDc)
        return GdiObject<HBITMAP>();
    SelectedObject selectedSource(sourceDc.get(), source);
    SelectedObject selectedTarget(targetDc.get(), target.get());
    SetStretchBltMode(targetDc.get(), HALFTONE);
    SetBrushOrgEx(targetDc.get(), 0, 0, nullptr);
    StretchBlt(targetDc.get(), 0, 0, to.cx, to.cy, sourceDc.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return target;
}

} // namespace

GdiObject<HBITMAP> LoadSkinBitmap(UINT id, const Dpi& dpi)
{
    GdiObject<HBITMAP> base = LoadSkinBitmap(id);
    const int percent = dpi.SkinPercent();
    if (!base || percent == 100)
        return base;
    GdiObject<HBITMAP> drawn = LoadSkinBitmap(id + (percent == 150 ? 1 : 2) * kSkinSetStep);
    if (!drawn)
        return base;
    const SIZE wanted = dpi.Scale(BitmapSize(base.get()));
    const SIZE size = BitmapSize(drawn.get());
    if (size.cx == wanted.cx && size.cy == wanted.cy)
        return drawn;
    GdiObject<HBITMAP> resized = ResizedBitmap(drawn.get(), size, wanted);
    return resized ? std::move(resized) : std::move(drawn);
}

void DrawFocusFrame(HDC dc, const RECT& rect, int thickness)
{
    GdiObject<HBRUSH> brush(CreateSolidBrush(kSkinFocusColour));
    RECT edge = rect;
    for (int i = 0; i < thickness && edge.right > edge.left && edge.bottom > edge.top; ++i) {
        FrameRect(dc, &edge, brush.get());
        InflateRect(&edge, -1, -1);
    }
}

bool ShowsFocusCues(HWND window)
{
    return (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

bool DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y)
{
    SIZE size = BitmapSize(bitmap);
    if (size.cx == 0)
        return false;
    MemoryDC source(CreateCompatibleDC(dc));
    if (!source)
        return false;
    SelectedObject selected(source.get(), bitmap);
    return selected && BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

GdiObject<HFONT> CreateSkinFont(int height)
{
    return GdiObject<HFONT>(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                        OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        VARIABLE_PITCH | FF_SWISS, L"TAHOMA"));
}

void DrawTextLines(HDC dc, const TextLines& style, const std::vector<std::string>& lines)
{
    SelectedObject font(dc, style.font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, HighContrastOn() ? GetSysColor(COLOR_BTNTEXT) : style.colour);
    int top = style.first.y;
    for (const std::string& line : lines) {
        std::wstring text = ToWide(line);
        if (style.right > style.first.x) {
            RECT area{style.first.x, top, style.right, top + std::max(style.lineStep, 1)};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                      DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_NOCLIP);
        } else {
            TextOutW(dc, style.first.x, top, text.c_str(), static_cast<int>(text.size()));
        }
        top += style.lineStep;
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

GdiObject<HRGN> RegionFromMask(HBITMAP mask, COLORREF transparent)
{
    SIZE size = BitmapSize(mask);
    std::vector<DWORD> pixels = ReadPixels(mask, size);
    if (pixels.empty())
        return GdiObject<HRGN>();
    const DWORD clear = ToPixel(transparent);
    std::vector<RECT> runs;
    for (int y = 0; y < size.cy; ++y) {
        const DWORD* row = pixels.data() + static_cast<size_t>(y) * size.cx;
        for (int x = 0; x < size.cx;) {
            if ((row[x] & 0xFFFFFF) == clear) {
                ++x;
                continue;
            }
            int start = x;
            while (x < size.cx && (row[x] & 0xFFFFFF) != clear)
                ++x;
            runs.push_back(RECT{start, y, x, y + 1});
        }
    }
    return RegionFromRects(runs);
}

void FadeToWhite(HDC dc, const RECT& rect)
{
    static const WORD kCheckerboard[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    GdiObject<HBITMAP> pattern(CreateBitmap(8, 8, 1, 1, kCheckerboard));
    GdiObject<HBRUSH> brush(CreatePatternBrush(pattern.get()));
    if (!brush)
        return;
    // A one-bit pattern paints its set bits in the background colour: white ones OR'ed in, black ones
    // leave the pixel as it is.
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    SelectedObject selected(dc, brush.get());
    constexpr DWORD kPatternOrDestination = 0x00FA0089;
    PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, kPatternOrDestination);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}
