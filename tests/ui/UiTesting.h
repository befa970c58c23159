#pragma once

#include "framework/Owners.h"
#include "framework/Window.h"

#include <windows.h>

#include <functional>
#include <string>

// A 32-bit top-down DIB section with its own DC, for rendering a control and reading back its pixels.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 0, 255));

    HDC dc() const { return dc_.get(); }
    RECT Rect() const { return RECT{0, 0, width_, height_}; }
    COLORREF Pixel(int x, int y) const;
    // The pixel colours a bitmap has at its own (bx, by), for comparing with what was drawn.
    static COLORREF BitmapPixel(HBITMAP bitmap, int bx, int by);
    // True when the block at (x, y) shows the whole bitmap unchanged.
    bool ShowsBitmap(int x, int y, HBITMAP bitmap) const;
    int CountPixels(const RECT& area, COLORREF colour) const;
    // Pixels of the area in none of the system colours a high-contrast window may paint with (window, window
    // text, button face and text, highlight and its text, grey text, window frame).
    int CountNonSystemPixels(const RECT& area) const;

private:
    int width_;
    int height_;
    DWORD* bits_ = nullptr;
    MemoryDC dc_;
    GdiObject<HBITMAP> bitmap_;
    SelectedObject selected_;
};

// A visible, topmost top-level window of the framework, so that its children's notifications are reflected
// and the controls can be hit by the real cursor. Counts the click commands it receives.
class HostWindow : public Window {
public:
    explicit HostWindow(const RECT& screenRect = RECT{600, 380, 1000, 680});

    int clicks = 0;
    int lastClickId = 0;

    // A child window of a system class, e.g. a button or a progress bar.
    HWND AddChild(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect, int id);

private:
    LRESULT OnCommand(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};

// Handles pending messages until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
void PumpPending();

// The centre of a window in screen coordinates, and the same in its client coordinates as an LPARAM.
POINT ScreenCentre(HWND hwnd);
LPARAM ClientPoint(int x, int y);
// A screen point over none of the test windows.
POINT AwayFromWindows();

// Closes the next message box titled "Vestrel" from another thread and reports the texts it showed.
class MessageBoxCloser {
public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    // Waits for the closing thread; the texts of the box's controls, joined with "|", or empty if none came.
    std::string Texts();

private:
    struct State;
    State* state_;
};

// GDI and USER objects of this process. Where GetGuiResources is not implemented (Wine), GDI objects are
// measured by how many brushes can still be made, and USER objects by the windows of this thread.
struct GuiObjects {
    long gdi;
    long user;
};
GuiObjects CountGuiObjects();
