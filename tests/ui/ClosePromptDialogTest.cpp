#include "UiTesting.h"

#include "framework/Utf8.h"
#include "resource.h"
#include "tests/support/ModalScript.h"
#include "app/CClosePromptDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

RECT ControlRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ControlText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return ToUtf8(text);
}

// Shows the prompt, lets the test act on it once it is up (and again at the next tick, when then is
// given), and returns how it ended.
INT_PTR RunPrompt(const std::function<void(HWND)>& act, const std::function<void(HWND)>& then = {})
{
    CClosePromptDialog prompt;
    HWND hwnd = nullptr;
    std::vector<ModalScript::Step> steps{[&] {
        hwnd = FindThreadWindow(CClosePromptDialog::kTitle);
        if (!hwnd)
            return false;
        act(hwnd);
        return true;
    }};
    if (then)
        steps.push_back([&] {
            then(hwnd);
            return true;
        });
    ModalScript script(std::move(steps));
    INT_PTR result = prompt.DoModal();
    EXPECT_FALSE(script.TimedOut());
    return result;
}

TEST(ClosePromptDialogTest, IsSkinnedWithItsButtonsInPlace)
{
    RunPrompt([](HWND hwnd) {
        RECT window{};
        GetWindowRect(hwnd, &window);
        EXPECT_EQ(window.right - window.left, 300);
        EXPECT_EQ(window.bottom - window.top, 240);
        RECT minimize = ControlRect(hwnd, IDC_MINIMIZE_IT);
        RECT close = ControlRect(hwnd, IDC_CLOSE_IT);
        RECT expectedMinimize{63, 195, 147, 220};
        RECT expectedClose{179, 195, 263, 220};
        EXPECT_TRUE(EqualRect(&minimize, &expectedMinimize));
        EXPECT_TRUE(EqualRect(&close, &expectedClose));
        EXPECT_EQ(ControlText(hwnd, IDC_MINIMIZE_IT), "Minimize it");
        EXPECT_EQ(ControlText(hwnd, IDC_CLOSE_IT), "Close it");
        EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);

        // Dragged to a monitor at 200 %: the window and its buttons double.
        RECT suggested{10, 20, 610, 500};
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(hwnd, &window);
        EXPECT_EQ(window.right - window.left, 600);
        EXPECT_EQ(window.bottom - window.top, 480);
        close = ControlRect(hwnd, IDC_CLOSE_IT);
        RECT doubledClose{358, 390, 526, 440};
        EXPECT_TRUE(EqualRect(&close, &doubledClose));
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST(ClosePromptDialogTest, CloseItGivesOkAndMinimizeItOrEscapeGivesCancel)
{
    auto click = [](int id) {
        return [id](HWND hwnd) { SendMessageW(GetDlgItem(hwnd, id), BM_CLICK, 0, 0); };
    };
    EXPECT_EQ(RunPrompt(click(IDC_CLOSE_IT)), IDOK);
    EXPECT_EQ(RunPrompt(click(IDC_MINIMIZE_IT)), IDCANCEL);
    auto escape = [](HWND hwnd) { PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_ESCAPE, 0); };
    EXPECT_EQ(RunPrompt(escape), IDCANCEL);
}

// The focused button is the one Enter presses: Enter on a focused "Minimize it" must not end the program.
TEST(ClosePromptDialogTest, EnterPressesTheFocusedButtonCloseItAtFirst)
{
    auto enter = [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); };
    EXPECT_EQ(RunPrompt([](HWND) {}, enter), IDOK);
    EXPECT_EQ(RunPrompt([](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0); }, enter), IDCANCEL);
    EXPECT_EQ(RunPrompt([](HWND hwnd) { SetFocus(GetDlgItem(hwnd, IDC_MINIMIZE_IT)); }, enter), IDCANCEL);
}

} // namespace
