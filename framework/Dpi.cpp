#include "framework/Dpi.h"

namespace {

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

GetDpiForWindowProc FindGetDpiForWindow()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowProc>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
}

} // namespace

Dpi Dpi::ForWindow(HWND window)
{
    static const GetDpiForWindowProc getDpiForWindow = FindGetDpiForWindow();
    if (getDpiForWindow && window) {
        if (UINT dpi = getDpiForWindow(window))
            return Dpi(dpi);
    }
    return ForSystem();
}

Dpi Dpi::ForSystem()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return Dpi(dpi > 0 ? static_cast<UINT>(dpi) : kBase);
}

int Dpi::SkinPercent() const
{
    if (dpi_ <= kBase)
        return 100;
    return dpi_ <= kBase * 3 / 2 ? 150 : 200;
}
