#pragma once

#include "framework/Owners.h"

#include <windows.h>

#include <string>
#include <vector>

// Drawing pieces that every skinned window shares: bitmaps from the program's resources, the skin's font,
// and the region a mask bitmap cuts out.

// A bitmap resource of the running executable at its natural size, as a DIB section; empty when missing.
GdiObject<HBITMAP> LoadSkinBitmap(UINT id);

// Width and height of a bitmap; 0 x 0 for none.
SIZE BitmapSize(HBITMAP bitmap);

// Copies the whole bitmap to (x, y) at its own size. False when there is no bitmap or it cannot be drawn.
bool DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y);

// The face every skin writes its text in: Tahoma, normal weight, variable pitch, Swiss family.
GdiObject<HFONT> CreateSkinFont(int height);

// Writes the lines top down, the first at (left, top) and each next one lineStep pixels lower, in the font
// and colour given and without a background of their own; the DC's font, colour and mode are put back after.
struct TextLines {
    HFONT font;
    COLORREF colour;
    POINT first;
    int lineStep;
};
void DrawTextLines(HDC dc, const TextLines& style, const std::vector<std::string>& lines);

// The union of the one-pixel-high runs of pixels that are not the transparent colour.
GdiObject<HRGN> RegionFromMask(HBITMAP mask, COLORREF transparent);
