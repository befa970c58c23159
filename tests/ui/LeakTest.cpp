#include "UiTesting.h"

#include "resource.h"
#include "ui/CCheckListCtrl.h"
#include "ui/CPercentProgressCtrl.h"
#include "ui/CSkinButton.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kCycles = 1000;

// Runs one cycle first, so that window classes and caches made once per process are not counted.
void ExpectNoLeak(const std::function<void()>& cycle)
{
    cycle();
    PumpPending();
    GuiObjects before = CountGuiObjects();
    for (int i = 0; i < kCycles; ++i)
        cycle();
    PumpPending();
    GuiObjects after = CountGuiObjects();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

// Hidden, as a window on the screen costs Wine a round trip to the X server for each change; the controls
// paint through WM_PRINTCLIENT instead.
void Hide(HostWindow& host)
{
    ShowWindow(host.GetHwnd(), SW_HIDE);
}

void PrintInto(HWND hwnd, Canvas& canvas)
{
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
}

TEST(Leaks, CheckListCreatedAndDestroyedAThousandTimes)
{
    HostWindow host;
    Hide(host);
    Canvas canvas(260, 260);
    ExpectNoLeak([&] {
        CCheckListCtrl list;
        ASSERT_TRUE(list.Create(RECT{0, 0, 222, 100}, host.GetHwnd(), 10001, IDB_CHECK_CHECKED,
                                IDB_CHECK_UNCHECKED, IDB_CHECK_MIXED, RGB(255, 255, 255)));
        CheckListItem* group = list.AddItem("Windows (Select All)", nullptr, 2, 0, 0, 0, RGB(0, 0, 200));
        for (int i = 0; i < 6; ++i)
            list.AddItem("Recent Documents and a rather long name", group, i % 2, i, 0, 0, RGB(0, 0, 200));
        list.SetCurSel(2);
        SendMessageW(list.View().GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(10, 10));
        PrintInto(list.View().GetHwnd(), canvas);
    });
}

TEST(Leaks, SkinButtonCreatedAndDestroyedAThousandTimes)
{
    HostWindow host;
    Hide(host);
    Canvas canvas(84, 25);
    ExpectNoLeak([&] {
        HWND hwnd = host.AddChild(L"BUTTON", L"Erase Now", BS_AUTORADIOBUTTON, RECT{0, 0, 84, 25}, 1008);
        {
            CSkinButton button;
            ASSERT_TRUE(button.Subclass(hwnd));
            button.SetToolTipText("Erase Now");
            button.SetToolTipText("Start Erase Now");
            button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
            button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, 0, IDB_BUTTON_MASK);
            SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
            PrintInto(hwnd, canvas);
            EnableWindow(hwnd, FALSE);
            PrintInto(hwnd, canvas);
        }
        DestroyWindow(hwnd);
    });
}

TEST(Leaks, ProgressBarCreatedAndDestroyedAThousandTimes)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HostWindow host;
    Hide(host);
    Canvas canvas(311, 10);
    ExpectNoLeak([&] {
        HWND hwnd = host.AddChild(PROGRESS_CLASSW, L"", 0, RECT{0, 0, 311, 10}, 1037);
        {
            CPercentProgressCtrl bar;
            ASSERT_TRUE(bar.Subclass(hwnd));
            bar.SetRange(0, 8);
            bar.SetPos(3);
            PrintInto(hwnd, canvas);
            UpdateWindow(hwnd);
        }
        DestroyWindow(hwnd);
    });
}

} // namespace
