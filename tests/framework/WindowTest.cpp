#include "framework/Button.h"
#include "framework/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kBaseOnly = WM_APP + 2;
constexpr UINT kSaveId = 200;
constexpr UINT kButtonId = 300;
const char kClassName[] = "VestrelTestWindow";

class BaseWindow : public Window {
public:
    bool CreateHidden(HWND parent = nullptr)
    {
        return RegisterWindowClass(kClassName, 0, nullptr, nullptr) &&
               Create(kClassName, "test", parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100},
                      parent, 0);
    }

protected:
    LRESULT OnAsk(WPARAM, LPARAM) { return 1; }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { return 2; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, Window)
    ON_MESSAGE(kAsk, OnAsk)
    ON_MESSAGE(kBaseOnly, OnBaseOnly)
END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
public:
    int saves = 0;
    int draws = 0;
    int buttonClicks = 0;
    std::wstring textSeenByHandler;

private:
    LRESULT OnAsk(WPARAM, LPARAM) { return 10; }
    void OnSave() { ++saves; }
    void OnButton() { ++buttonClicks; }
    LRESULT OnDrawItem(WPARAM, LPARAM)
    {
        ++draws;
        return TRUE;
    }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        LRESULT result = Default();
        wchar_t text[32] = {};
        GetWindowTextW(GetHwnd(), text, 32);
        textSeenByHandler = text;
        return result;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
    ON_MESSAGE(kAsk, OnAsk)
    ON_COMMAND(kSaveId, OnSave)
    ON_COMMAND(kButtonId, OnButton)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

class ThrowingWindow : public BaseWindow {
    LRESULT OnSetText(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingWindow, BaseWindow)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

TEST(MessageMap, DerivedEntryWinsOverBaseEntry)
{
    BaseWindow base;
    DerivedWindow derived;
    ASSERT_TRUE(base.CreateHidden());
    ASSERT_TRUE(derived.CreateHidden());
    EXPECT_EQ(SendMessageW(base.GetHwnd(), kAsk, 0, 0), 1);
    EXPECT_EQ(SendMessageW(derived.GetHwnd(), kAsk, 0, 0), 10);
    EXPECT_EQ(SendMessageW(derived.GetHwnd(), kBaseOnly, 0, 0), 2);
}

TEST(MessageMap, CommandIsRoutedByControlIdAndClickCode)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateHidden());
    SendMessageW(window.GetHwnd(), WM_COMMAND, MAKEWPARAM(kSaveId, BN_CLICKED), 0);
    SendMessageW(window.GetHwnd(), WM_COMMAND, MAKEWPARAM(kSaveId + 1, BN_CLICKED), 0);
    SendMessageW(window.GetHwnd(), WM_COMMAND, MAKEWPARAM(kSaveId, BN_SETFOCUS), 0);
    EXPECT_EQ(window.saves, 1);
}

TEST(MessageMap, UnmappedMessageGetsDefaultProcessing)
{
    BaseWindow window;
    ASSERT_TRUE(window.CreateHidden());
    SetWindowTextW(window.GetHwnd(), L"unmapped");
    EXPECT_EQ(TextOf(window.GetHwnd()), L"unmapped");
}

TEST(MessageMap, HandlerRunsDefaultProcessingAtOnce)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateHidden());
    SetWindowTextW(window.GetHwnd(), L"mapped");
    EXPECT_EQ(window.textSeenByHandler, L"mapped");
}

TEST(MessageMap, ThrowingHandlerFallsBackToDefaultProcessing)
{
    ThrowingWindow window;
    ASSERT_TRUE(window.CreateHidden());
    SetWindowTextW(window.GetHwnd(), L"survived");
    EXPECT_EQ(TextOf(window.GetHwnd()), L"survived");
}

TEST(WindowLifetime, ObjectDestroysTheWindowItCreated)
{
    HWND hwnd = nullptr;
    {
        DerivedWindow window;
        ASSERT_TRUE(window.CreateHidden());
        hwnd = window.GetHwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowLifetime, DestroyedWindowLetsGoOfItsObjectForReuse)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateHidden());
    DestroyWindow(window.GetHwnd());
    EXPECT_EQ(window.GetHwnd(), nullptr);
    EXPECT_TRUE(window.CreateHidden());
}

TEST(WindowLifetime, DetachedWindowNoLongerReachesItsObject)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateHidden());
    HWND hwnd = window.GetHwnd();
    window.Detach();
    EXPECT_EQ(SendMessageW(hwnd, kAsk, 0, 0), 0);
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(WindowLifetime, CreateFailsForAClassOutsideTheFramework)
{
    DerivedWindow window;
    EXPECT_FALSE(window.Create("STATIC", "", WS_OVERLAPPED, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(window.GetHwnd(), nullptr);
}

class AskingButton : public Button {
    LRESULT OnAsk(WPARAM, LPARAM) { return 5; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(AskingButton, Button)
    ON_MESSAGE(kAsk, OnAsk)
END_MESSAGE_MAP()

HWND CreateButton(HWND parent, UINT id)
{
    return CreateWindowExW(0, L"BUTTON", L"button", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

TEST(Subclassing, MappedMessagesReachTheObjectAndTheRestTheControl)
{
    BaseWindow parent;
    ASSERT_TRUE(parent.CreateHidden());
    HWND control = CreateButton(parent.GetHwnd(), kButtonId);
    {
        AskingButton button;
        AskingButton second;
        ASSERT_TRUE(button.Subclass(control));
        EXPECT_FALSE(second.Subclass(control));
        EXPECT_EQ(SendMessageW(control, kAsk, 0, 0), 5);
        SetWindowTextW(control, L"caption");
        EXPECT_EQ(TextOf(control), L"caption");
    }
    EXPECT_TRUE(IsWindow(control));
    EXPECT_EQ(SendMessageW(control, kAsk, 0, 0), 0);
}

TEST(Subclassing, DetachRestoresTheControl)
{
    BaseWindow parent;
    ASSERT_TRUE(parent.CreateHidden());
    HWND control = CreateButton(parent.GetHwnd(), kButtonId);
    AskingButton button;
    ASSERT_TRUE(button.Subclass(control));
    button.Detach();
    EXPECT_EQ(SendMessageW(control, kAsk, 0, 0), 0);
    EXPECT_EQ(button.GetHwnd(), nullptr);
}

class ReflectingButton : public Button {
public:
    int reflectedDraws = 0;
    int reflectedCommands = 0;

private:
    LRESULT OnReflectedDraw(WPARAM, LPARAM)
    {
        ++reflectedDraws;
        return TRUE;
    }
    // Seen first, then left to the parent.
    LRESULT OnReflectedCommand(WPARAM, LPARAM)
    {
        ++reflectedCommands;
        return Default();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, Button)
    ON_REFLECTED(WM_DRAWITEM, OnReflectedDraw)
    ON_REFLECTED(WM_COMMAND, OnReflectedCommand)
END_MESSAGE_MAP()

LRESULT SendDrawItem(HWND parent, HWND control, UINT type)
{
    DRAWITEMSTRUCT item{};
    item.CtlType = type;
    item.CtlID = kButtonId;
    item.hwndItem = control;
    return SendMessageW(parent, WM_DRAWITEM, type == ODT_MENU ? 0 : kButtonId,
                        reinterpret_cast<LPARAM>(&item));
}

class Reflection : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateHidden());
        control = CreateButton(parent.GetHwnd(), kButtonId);
        ASSERT_TRUE(button.Subclass(control));
    }

    DerivedWindow parent;
    ReflectingButton button;
    HWND control = nullptr;
};

TEST_F(Reflection, DrawItemGoesToTheControlInsteadOfTheParent)
{
    EXPECT_EQ(SendDrawItem(parent.GetHwnd(), control, ODT_BUTTON), TRUE);
    EXPECT_EQ(button.reflectedDraws, 1);
    EXPECT_EQ(parent.draws, 0);
}

TEST_F(Reflection, MenuDrawItemStaysWithTheParent)
{
    SendDrawItem(parent.GetHwnd(), nullptr, ODT_MENU);
    EXPECT_EQ(button.reflectedDraws, 0);
    EXPECT_EQ(parent.draws, 1);
}

TEST_F(Reflection, ControlThatAsksForDefaultPassesTheCommandOn)
{
    SendMessageW(parent.GetHwnd(), WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(button.reflectedCommands, 1);
    EXPECT_EQ(parent.buttonClicks, 1);
}

TEST_F(Reflection, UnattachedControlsAreNotReflected)
{
    button.Detach();
    SendDrawItem(parent.GetHwnd(), control, ODT_BUTTON);
    EXPECT_EQ(button.reflectedDraws, 0);
    EXPECT_EQ(parent.draws, 1);
}

} // namespace
