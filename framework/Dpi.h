#pragma once

#include <windows.h>

// Pixel sizes laid out for 96 dots per inch, scaled to a window's DPI. Windows older than 10 (1607) lack
// GetDpiForWindow; there the system DPI stands in.
class Dpi {
public:
    static constexpr UINT kBase = 96;

    explicit Dpi(UINT dpi = kBase) : dpi_(dpi ? dpi : kBase) {}
    static Dpi ForWindow(HWND window);
    static Dpi ForSystem();

    UINT Value() const { return dpi_; }
    // Rounded to the nearest pixel, halves away from zero.
    int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), kBase); }
    POINT Scale(POINT point) const { return POINT{Scale(point.x), Scale(point.y)}; }
    SIZE Scale(SIZE size) const { return SIZE{Scale(size.cx), Scale(size.cy)}; }
    RECT Scale(const RECT& rect) const
    {
        return RECT{Scale(rect.left), Scale(rect.top), Scale(rect.right), Scale(rect.bottom)};
    }
    // The skin's bitmaps come drawn for 100, 150 and 200 %: the smallest set at least this large (200 above
    // it), which drawing shrinks to the exact size in between.
    int SkinPercent() const;

    bool operator==(const Dpi&) const = default;

private:
    UINT dpi_;
};
