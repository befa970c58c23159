// Stands in for a browser that a run asks to close. With "quits" its window closes on WM_CLOSE and the
// program ends; with "refuses" it keeps its window, as a program asking to save would; with "hidden" it
// shows no window at all, as a browser kept running in the background. It ends by itself after a minute.
#include <windows.h>

#include <string>

namespace {

bool g_refuses = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE && g_refuses)
        return 0;
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"quits";
    g_refuses = mode == L"refuses";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VestrelTestProgram";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"Test program", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (mode != L"hidden")
        ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, 60000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER)
            DestroyWindow(window);
        DispatchMessageW(&message);
    }
    return 0;
}
