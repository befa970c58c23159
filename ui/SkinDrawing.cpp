#include "ui/SkinDrawing.h"

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
    COLORREF oldColour = SetTextColor(dc, style.colour);
    int top = style.first.y;
    for (const std::string& line : lines) {
        std::wstring text = ToWide(line);
        TextOutW(dc, style.first.x, top, text.c_str(), static_cast<int>(text.size()));
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
