#include "UiTesting.h"

#include "resource.h"
#include "tests/support/ModalScript.h"
#include "ui/CSystemTray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const UINT kTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

// What reached the shell, one call each, and what the shell answers.
struct ShellCall {
    DWORD message;
    NOTIFYICONDATAW data;
};

class FakeShell {
public:
    std::vector<ShellCall> calls;
    bool accepts = true;
    bool acceptsAdd = true;

    CSystemTray::NotifyCall Call()
    {
        return [this](DWORD message, NOTIFYICONDATAW& data) {
            calls.push_back({message, data});
            return static_cast<BOOL>(accepts && (message != NIM_ADD || acceptsAdd));
        };
    }

    std::vector<DWORD> Messages() const
    {
        std::vector<DWORD> messages;
        for (const ShellCall& call : calls)
            messages.push_back(call.message);
        return messages;
    }
};

using Messages = std::vector<DWORD>;

class SystemTrayTest : public testing::Test {
protected:
    bool CreateTray(CSystemTray& tray) { return tray.Create(target.GetHwnd(), "Vestrel", IDI_TRAY, IDR_TRAY_MENU); }

    LRESULT Notify(CSystemTray& tray, WPARAM iconId, LPARAM mouse)
    {
        return SendMessageW(tray.GetHwnd(), CSystemTray::kCallbackMessage, iconId, mouse);
    }

    FakeShell shell;
    HostWindow target;
};

TEST_F(SystemTrayTest, AddsItsIconAndRemovesItWhenDestroyed)
{
    HWND trayWindow = nullptr;
    {
        CSystemTray tray(shell.Call());
        ASSERT_TRUE(CreateTray(tray));
        EXPECT_TRUE(tray.IsShown());
        trayWindow = tray.GetHwnd();
        EXPECT_TRUE(IsWindow(trayWindow));
        EXPECT_FALSE(IsWindowVisible(trayWindow));
        ASSERT_EQ(shell.Messages(), (Messages{NIM_ADD}));
        const NOTIFYICONDATAW& added = shell.calls[0].data;
        EXPECT_EQ(added.hWnd, trayWindow) << "the callbacks come to the tray's own window";
        EXPECT_EQ(added.uID, static_cast<UINT>(IDR_TRAY_MENU));
        EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(added.uCallbackMessage, static_cast<UINT>(WM_USER + 10));
        EXPECT_NE(added.hIcon, nullptr);
        EXPECT_EQ(std::wstring(added.szTip), L"Vestrel");
    }
    EXPECT_EQ(shell.Messages(), (Messages{NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(shell.calls[1].data.uID, static_cast<UINT>(IDR_TRAY_MENU));
    EXPECT_FALSE(IsWindow(trayWindow));
}

TEST_F(SystemTrayTest, TaskbarRestartAddsTheIconAgain)
{
    CSystemTray tray(shell.Call());
    ASSERT_TRUE(CreateTray(tray));
    SendMessageW(tray.GetHwnd(), kTaskbarCreated, 0, 0);
    EXPECT_EQ(shell.Messages(), (Messages{NIM_ADD, NIM_ADD}));
    EXPECT_TRUE(tray.IsShown());

    // A taskbar that only changed its scale still has the icon and refuses the second add.
    shell.acceptsAdd = false;
    SendMessageW(tray.GetHwnd(), kTaskbarCreated, 0, 0);
    EXPECT_EQ(shell.Messages(), (Messages{NIM_ADD, NIM_ADD, NIM_ADD, NIM_MODIFY}));
    EXPECT_TRUE(tray.IsShown());
}

TEST_F(SystemTrayTest, IconRefusedAtStartIsAddedWhenTheTaskbarComes)
{
    shell.accepts = false;
    {
        CSystemTray tray(shell.Call());
        EXPECT_FALSE(CreateTray(tray));
        EXPECT_FALSE(tray.IsShown());
        shell.accepts = true;
        SendMessageW(tray.GetHwnd(), kTaskbarCreated, 0, 0);
        EXPECT_TRUE(tray.IsShown());
    }
    EXPECT_EQ(shell.Messages(), (Messages{NIM_ADD, NIM_ADD, NIM_DELETE}));

    shell.calls.clear();
    shell.accepts = false;
    {
        CSystemTray tray(shell.Call());
        CreateTray(tray);
    }
    EXPECT_EQ(shell.Messages(), (Messages{NIM_ADD})) << "an icon never shown is not deleted";
}

TEST_F(SystemTrayTest, DoubleClickSendsTheDefaultCommandAndOtherClicksNothing)
{
    CSystemTray tray(shell.Call());
    ASSERT_TRUE(CreateTray(tray));
    EXPECT_EQ(Notify(tray, IDR_TRAY_MENU + 1, WM_LBUTTONDBLCLK), 0) << "another icon's callback is ignored";
    EXPECT_EQ(Notify(tray, IDR_TRAY_MENU, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Notify(tray, IDR_TRAY_MENU, WM_LBUTTONUP), 1);
    EXPECT_EQ(Notify(tray, IDR_TRAY_MENU, WM_MOUSEMOVE), 1);
    EXPECT_EQ(target.clicks, 0);

    EXPECT_EQ(Notify(tray, IDR_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(target.clicks, 1);
    EXPECT_EQ(target.lastClickId, ID_SHOW_WINDOW) << "Open the Eraser";
}

TEST_F(SystemTrayTest, RightClickShowsTheMenuWhoseCommandsGoToTheTarget)
{
    CSystemTray tray(shell.Call());
    ASSERT_TRUE(CreateTray(tray));
    UINT defaultId = 0;
    int entries = 0;
    ModalScript script({[&] {
        HWND menuWindow = FindWindowW(L"#32768", nullptr);
        if (!menuWindow || !IsWindowVisible(menuWindow))
            return false;
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        defaultId = GetMenuDefaultItem(menu, FALSE, 0);
        entries = GetMenuItemCount(menu);
        // Up from nothing selected reaches the last entry, "Close".
        PostMessageW(menuWindow, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    }});
    PostMessageW(tray.GetHwnd(), CSystemTray::kCallbackMessage, IDR_TRAY_MENU, WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return target.clicks > 0 || script.TimedOut(); }, 15000));
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(defaultId, static_cast<UINT>(ID_SHOW_WINDOW));
    EXPECT_EQ(entries, 8);
    EXPECT_EQ(target.lastClickId, IDOK) << "the same command as the main window's Close button";
}

} // namespace
