#pragma once

#include "framework/Dpi.h"
#include "framework/Owners.h"

#include <windows.h>

#include <string>
#include <vector>

// Drawing pieces that every skinned window shares: bitmaps from the program's resources, the skin's font,
// and the region a mask bitmap cuts out.

// A bitmap resource of the running executable at its natural size, as a DIB section; empty when missing.
GdiObject<HBITMAP> LoadSkinBitmap(UINT id);

// The skin's bitmaps drawn for 150 % and 200 % have the 100 % id plus one or two of this step.
constexpr UINT kSkinSetStep = 1000;
// The bitmap drawn for the DPI, at exactly the 100 % size scaled to it: the set for 150 % or 200 % as drawn,
// a larger set shrunk in between; the 100 % bitmap when no larger set holds this id.
GdiObject<HBITMAP> LoadSkinBitmap(UINT id, const Dpi& dpi);

// Keyboard focus on skinned controls: the skin's deep teal.
constexpr COLORREF kSkinFocusColour = RGB(0x0E, 0x8F, 0x80);
// The rest of the skin's colours, as its bitmaps are drawn: the dark band across the top of a window and
// the text on it, the light body under it with its lines and text, and the teal of what is done.
constexpr COLORREF kSkinBandColour = RGB(0x14, 0x25, 0x3B);
constexpr COLORREF kSkinBandRaisedColour = RGB(0x1D, 0x33, 0x50);
constexpr COLORREF kSkinOnBandColour = RGB(0xEA, 0xF0, 0xF6);
constexpr COLORREF kSkinBodyColour = RGB(0xED, 0xF1, 0xF5);
constexpr COLORREF kSkinBodyLineColour = RGB(0xD3, 0xDB, 0xE4);
constexpr COLORREF kSkinEdgeColour = RGB(0xC3, 0xCE, 0xDB);
constexpr COLORREF kSkinInkColour = RGB(0x0F, 0x1B, 0x2D);
constexpr COLORREF kSkinTealColour = RGB(0x2C, 0xC5, 0xB3);
// A frame of that colour along the inside of rect, thickness pixels wide.
void DrawFocusFrame(HDC dc, const RECT& rect, int thickness);

// Turns every other pixel of the rectangle white, in a checkerboard: what is drawn there looks disabled.
void FadeToWhite(HDC dc, const RECT& rect);
// Whether a window should show its keyboard focus now: the system's cues say so (they are off after mouse
// use until a key is pressed).
bool ShowsFocusCues(HWND window);

// Width and height of a bitmap; 0 x 0 for none.
SIZE BitmapSize(HBITMAP bitmap);

// Copies the whole bitmap to (x, y) at its own size. False when there is no bitmap or it cannot be drawn.
bool DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y);

// The face every skin writes its text in: Tahoma, normal weight, variable pitch, Swiss family.
GdiObject<HFONT> CreateSkinFont(int height);

// Writes the lines top down, the first at (left, top) and each next one lineStep pixels lower, in the font
// and colour given and without a background of their own; the DC's font, colour and mode are put back after.
// With a right edge beyond left, a line too long for it ends in an ellipsis there. In high contrast the lines
// are in the system's button text colour, whatever the style says.
struct TextLines {
    HFONT font;
    COLORREF colour;
    POINT first;
    int lineStep;
    int right = 0;
};
void DrawTextLines(HDC dc, const TextLines& style, const std::vector<std::string>& lines);

// The union of the one-pixel-high runs of pixels that are not the transparent colour.
GdiObject<HRGN> RegionFromMask(HBITMAP mask, COLORREF transparent);
