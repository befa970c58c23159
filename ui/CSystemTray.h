#pragma once
#include "framework/Owners.h"
#include "framework/Window.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// The program's icon in the taskbar's notification area. A right click opens the popup of the menu whose
// resource id is the icon's id; a double click sends that popup's first (default) command. Commands go to
// the target window. The icon is added again when the taskbar restarts. Destroying the object removes it.
class CSystemTray : public Window {
public:
    // The message the icon sends to the tray's own hidden window.
    static constexpr UINT kCallbackMessage = WM_USER + 10;
    // The shell's notify-icon call; tests give their own to see what reaches the shell.
    using NotifyCall = std::function<BOOL(DWORD message, NOTIFYICONDATAW& data)>;

    CSystemTray();
    explicit CSystemTray(NotifyCall notify);
    ~CSystemTray() override;

    // Makes the hidden window and adds the icon from the icon resource; false when the icon could not be
    // added, in which case it is tried again when the taskbar (re)starts.
    bool Create(HWND commandTarget, const std::string& tip, UINT iconResource, UINT iconId);
    // Whether the icon is shown.
    bool IsShown() const { return shown_; }

private:
    LRESULT OnNotify(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);

    bool Add();
    void Remove();
    void ShowMenu() const;
    void SendDefaultCommand() const;

    NotifyCall notify_;
    HWND target_ = nullptr;
    NOTIFYICONDATAW data_{};
    IconHandle icon_;
    bool shown_ = false;

    DECLARE_MESSAGE_MAP()
};
