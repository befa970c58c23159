#include "UiTesting.h"

#include "framework/Utf8.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

const char kHostClass[] = "VestrelUiTestHost";

BITMAPINFO TopDownInfo(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP MakeSection(int width, int height, DWORD** bits)
{
    BITMAPINFO info = TopDownInfo(width, height);
    void* data = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &data, nullptr, 0);
    *bits = static_cast<DWORD*>(data);
    return bitmap;
}

COLORREF FromPixel(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

} // namespace

Canvas::Canvas(int width, int height, COLORREF fill)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(MakeSection(width, height, &bits_)),
      selected_(dc_.get(), bitmap_.get())
{
    GdiObject<HBRUSH> brush(CreateSolidBrush(fill));
    RECT all = Rect();
    FillRect(dc_.get(), &all, brush.get());
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    return FromPixel(bits_[static_cast<size_t>(y) * width_ + x]);
}

COLORREF Canvas::BitmapPixel(HBITMAP bitmap, int bx, int by)
{
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.get(), bitmap);
    return GetPixel(dc.get(), bx, by);
}

bool Canvas::ShowsBitmap(int x, int y, HBITMAP bitmap) const
{
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.get(), bitmap);
    for (int by = 0; by < info.bmHeight; ++by)
        for (int bx = 0; bx < info.bmWidth; ++bx)
            if (Pixel(x + bx, y + by) != GetPixel(dc.get(), bx, by))
                return false;
    return true;
}

int Canvas::CountPixels(const RECT& area, COLORREF colour) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += Pixel(x, y) == colour;
    return count;
}

int Canvas::CountNonSystemPixels(const RECT& area) const
{
    std::vector<COLORREF> system;
    for (int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT,
                      COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_WINDOWFRAME})
        system.push_back(GetSysColor(index));
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += std::find(system.begin(), system.end(), Pixel(x, y)) == system.end();
    return count;
}

BEGIN_MESSAGE_MAP(HostWindow, Window)
    ON_MESSAGE(WM_COMMAND, OnCommand)
END_MESSAGE_MAP()

HostWindow::HostWindow(const RECT& screenRect)
{
    RegisterWindowClass(kHostClass, CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    Create(kHostClass, "ui test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, screenRect, nullptr, 0);
    SetWindowPos(GetHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpPending();
}

HWND HostWindow::AddChild(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                          int id)
{
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, GetHwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

LRESULT HostWindow::OnCommand(WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        ++clicks;
        lastClickId = LOWORD(wParam);
    }
    return 0;
}

void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpPending();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

POINT ScreenCentre(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

POINT AwayFromWindows()
{
    return POINT{5, GetSystemMetrics(SM_CYSCREEN) - 5};
}

namespace {

BOOL CALLBACK CollectText(HWND child, LPARAM texts)
{
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    *reinterpret_cast<std::string*>(texts) += ToUtf8(text) + "|";
    return TRUE;
}

} // namespace

struct MessageBoxCloser::State {
    std::thread thread;
    std::string texts;
};

MessageBoxCloser::MessageBoxCloser() : state_(new State)
{
    State* state = state_;
    state->thread = std::thread([state] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            HWND box = FindWindowW(L"#32770", L"Vestrel");
            if (box && IsWindowVisible(box)) {
                EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&state->texts));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
}

MessageBoxCloser::~MessageBoxCloser()
{
    if (state_->thread.joinable())
        state_->thread.join();
    delete state_;
}

std::string MessageBoxCloser::Texts()
{
    if (state_->thread.joinable())
        state_->thread.join();
    return state_->texts;
}

namespace {

long RemainingBrushes()
{
    std::vector<HBRUSH> brushes;
    while (HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3))) {
        brushes.push_back(brush);
        if (brushes.size() > 200000)
            break;
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return static_cast<long>(brushes.size());
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

// A top-level window and all its descendants.
BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(hwnd, CountChild, count);
    return TRUE;
}

} // namespace

GuiObjects CountGuiObjects()
{
    SetLastError(0);
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return GuiObjects{static_cast<long>(gdi),
                          static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))};
    long windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    return GuiObjects{-RemainingBrushes(), windows};
}
