#include "ui/CSystemTray.h"

#include "framework/Utf8.h"

#include <cwchar>
#include <iterator>

namespace {

const char kWindowClass[] = "VestrelTrayWindow";
// The menu's default entry, by position: its first.
constexpr UINT kDefaultEntry = 0;

HICON LoadSmallIcon(UINT resource)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

} // namespace

// Written out rather than with the macros: the taskbar's restart message is numbered only at run time.
const MessageMap& CSystemTray::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMap& CSystemTray::GetThisMessageMap()
{
    using Match = MessageMapEntry::Match;
    static const MessageMapEntry entries[] = {
        {kCallbackMessage, Match::Message, 0, 0, &MessageMapDetail::InvokeMessage<&CSystemTray::OnNotify>},
        {RegisterWindowMessageW(L"TaskbarCreated"), Match::Message, 0, 0,
         &MessageMapDetail::InvokeMessage<&CSystemTray::OnTaskbarCreated>},
        {},
    };
    static const MessageMap map{&Window::GetThisMessageMap, entries};
    return map;
}

CSystemTray::CSystemTray()
    : CSystemTray([](DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data); })
{
}

CSystemTray::CSystemTray(NotifyCall notify) : notify_(std::move(notify)) {}

CSystemTray::~CSystemTray()
{
    Remove();
}

bool CSystemTray::Create(HWND commandTarget, const std::string& tip, UINT iconResource, UINT iconId)
{
    if (GetHwnd() || !RegisterWindowClass(kWindowClass, 0, nullptr, nullptr) ||
        !Window::Create(kWindowClass, "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0))
        return false;
    target_ = commandTarget;
    icon_.reset(LoadSmallIcon(iconResource));
    data_.cbSize = sizeof(data_);
    data_.hWnd = GetHwnd();
    data_.uID = iconId;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kCallbackMessage;
    data_.hIcon = icon_.get();
    std::wcsncpy(data_.szTip, ToWide(tip).c_str(), std::size(data_.szTip) - 1);
    return Add();
}

bool CSystemTray::Add()
{
    // A taskbar that only changed its scale still has the icon and refuses to add it twice.
    shown_ = notify_(NIM_ADD, data_) || (shown_ && notify_(NIM_MODIFY, data_));
    return shown_;
}

void CSystemTray::Remove()
{
    if (shown_)
        notify_(NIM_DELETE, data_);
    shown_ = false;
}

// A restarted taskbar has forgotten every icon; one that could not be added at start-up, before the
// taskbar was there, gets its chance now too.
LRESULT CSystemTray::OnTaskbarCreated(WPARAM, LPARAM)
{
    Add();
    return 0;
}

LRESULT CSystemTray::OnNotify(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != data_.uID)
        return 0;
    if (LOWORD(mouseMessage) == WM_RBUTTONUP)
        ShowMenu();
    else if (LOWORD(mouseMessage) == WM_LBUTTONDBLCLK)
        SendDefaultCommand();
    return 1;
}

void CSystemTray::ShowMenu() const
{
    MenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(data_.uID)));
    HMENU popup = GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    SetMenuDefaultItem(popup, kDefaultEntry, TRUE);
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(target_);
    TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, target_, nullptr);
    PostMessageW(target_, WM_NULL, 0, 0);
}

void CSystemTray::SendDefaultCommand() const
{
    MenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(data_.uID)));
    HMENU popup = GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    SetForegroundWindow(target_);
    UINT command = GetMenuItemID(popup, kDefaultEntry);
    SendMessageW(target_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}
