#include "ui/CToolTip.h"

#include "framework/Utf8.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

// The size every version of the common controls accepts.
TTTOOLINFOW ToolInfo(HWND tool, const std::wstring& text)
{
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    return info;
}

} // namespace

CToolTip::~CToolTip()
{
    if (HWND tip = GetHwnd()) {
        Detach();
        DestroyWindow(tip);
    }
}

bool CToolTip::CreateWindowFor(HWND owner)
{
    if (GetHwnd())
        return false;
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    // Attached so that the object learns when the system destroys the tooltip with its owner.
    if (!tip || !Subclass(tip)) {
        if (tip)
            DestroyWindow(tip);
        return false;
    }
    return true;
}

bool CToolTip::CreateOverAreas(HWND window, const std::vector<RECT>& areas, const std::string& text)
{
    if (!CreateWindowFor(window))
        return false;
    std::wstring wide = ToWide(text);
    for (size_t index = 0; index < areas.size(); ++index) {
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = window;
        info.uId = index;
        info.rect = areas[index];
        info.lpszText = const_cast<wchar_t*>(wide.c_str());
        SendMessageW(GetHwnd(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(GetHwnd(), TTM_ACTIVATE, TRUE, 0);
    return true;
}

bool CToolTip::Create(HWND tool, const std::string& text)
{
    if (!CreateWindowFor(tool))
        return false;
    tool_ = tool;
    std::wstring wide = ToWide(text);
    TTTOOLINFOW info = ToolInfo(tool, wide);
    SendMessageW(GetHwnd(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(GetHwnd(), TTM_ACTIVATE, TRUE, 0);
    return true;
}

void CToolTip::SetText(const std::string& text)
{
    if (!GetHwnd())
        return;
    std::wstring wide = ToWide(text);
    TTTOOLINFOW info = ToolInfo(tool_, wide);
    SendMessageW(GetHwnd(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTip::Relay(HWND tool, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!GetHwnd())
        return;
    MSG relayed{tool, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    DWORD position = GetMessagePos();
    relayed.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    SendMessageW(GetHwnd(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}
