#include "UiTesting.h"

#include "ui/HighContrast.h"
#include "ui/CPercentProgressCtrl.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kStart = RGB(0, 160, 0);
constexpr COLORREF kEnd = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

ProgressLook At(int lower, int upper, int pos, bool vertical = false)
{
    ProgressLook look;
    look.lower = lower;
    look.upper = upper;
    look.pos = pos;
    look.vertical = vertical;
    return look;
}

std::unique_ptr<Canvas> Paint(int width, int height, const ProgressLook& look)
{
    auto canvas = std::make_unique<Canvas>(width, height);
    SelectedObject font(canvas->dc(), GetStockObject(DEFAULT_GUI_FONT));
    CPercentProgressCtrl::Paint(canvas->dc(), canvas->Rect(), look);
    return canvas;
}

TEST(PercentProgress, LowerBoundShowsOnlyGrey)
{
    for (ProgressLook look : {At(0, 8, 0), At(5, 20, 5), At(0, 0, 0)}) {
        auto canvas = Paint(311, 10, look);
        EXPECT_EQ(canvas->CountPixels(canvas->Rect(), kGrey), 311 * 10);
    }
}

TEST(PercentProgress, TextIsThreePlacesABlankAndAPercentSign)
{
    EXPECT_EQ(CPercentProgressCtrl::PercentText(At(0, 100, 100)), "100 %");
    EXPECT_EQ(CPercentProgressCtrl::PercentText(At(0, 8, 2)), " 25 %");
    EXPECT_EQ(CPercentProgressCtrl::PercentText(At(10, 14, 11)), " 25 %");
    EXPECT_EQ(CPercentProgressCtrl::PercentText(At(0, 3, 1)), " 33 %");
    EXPECT_EQ(CPercentProgressCtrl::PercentText(At(0, 200, 1)), "  0 %");
}

TEST(PercentProgress, TextIsWrittenInWhiteCentredOverTheBar)
{
    auto withText = Paint(200, 30, At(0, 4, 1));
    ProgressLook silent = At(0, 4, 1);
    silent.showPercent = false;
    auto without = Paint(200, 30, silent);
    EXPECT_EQ(without->CountPixels(without->Rect(), kWhite), 0);
    EXPECT_GT(withText->CountPixels(RECT{70, 0, 130, 30}, kWhite), 20);
    EXPECT_EQ(withText->CountPixels(RECT{0, 0, 60, 30}, kWhite), 0);
    EXPECT_EQ(withText->CountPixels(RECT{140, 0, 200, 30}, kWhite), 0);
}

TEST(PercentProgress, BarCoversTheFractionOfTheWidth)
{
    auto canvas = Paint(200, 10, At(0, 4, 1));
    EXPECT_EQ(canvas->Pixel(0, 0), kStart);
    EXPECT_EQ(canvas->Pixel(49, 0), kStart);
    EXPECT_EQ(canvas->Pixel(50, 0), kGrey);
    EXPECT_EQ(canvas->Pixel(199, 9), kGrey);
}

TEST(PercentProgress, ShadingRunsFromTheOuterLinesToTheMiddle)
{
    ProgressLook full = At(0, 1, 1);
    full.showPercent = false;
    auto canvas = Paint(40, 10, full);
    // n = 5, step = 95 / 5 = 19 green a line.
    EXPECT_EQ(canvas->Pixel(10, 0), kStart);
    EXPECT_EQ(canvas->Pixel(10, 1), RGB(0, 179, 0));
    EXPECT_EQ(canvas->Pixel(10, 5), RGB(0, 255, 0));
    EXPECT_EQ(canvas->Pixel(10, 9), RGB(0, 179, 0)); // the line at the bottom edge is outside the bar
}

TEST(PercentProgress, ThinBarsHaveStartThenEndColour)
{
    ProgressLook full = At(0, 1, 1);
    full.showPercent = false;
    auto two = Paint(30, 2, full);
    EXPECT_EQ(two->Pixel(5, 0), kStart);
    EXPECT_EQ(two->Pixel(5, 1), kEnd);
    auto three = Paint(30, 3, full);
    EXPECT_EQ(three->Pixel(5, 0), kStart);
    EXPECT_EQ(three->Pixel(5, 1), kEnd);
    EXPECT_EQ(three->Pixel(5, 2), kEnd);
}

TEST(PercentProgress, StepsMayRunDownwardsPerChannel)
{
    ProgressLook full = At(0, 1, 1);
    full.showPercent = false;
    full.startColour = RGB(200, 0, 100);
    full.endColour = RGB(100, 40, 100);
    auto canvas = Paint(20, 8, full);
    EXPECT_EQ(canvas->Pixel(3, 0), RGB(200, 0, 100));
    EXPECT_EQ(canvas->Pixel(3, 1), RGB(175, 10, 100));
    EXPECT_EQ(canvas->Pixel(3, 4), RGB(100, 40, 100));
}

TEST(PercentProgress, VerticalBarGrowsUpwardsAndShadesAcross)
{
    ProgressLook look = At(0, 4, 1, true);
    look.showPercent = false;
    auto canvas = Paint(10, 100, look);
    EXPECT_EQ(canvas->Pixel(0, 74), kGrey);
    EXPECT_EQ(canvas->Pixel(0, 75), kStart);
    EXPECT_EQ(canvas->Pixel(0, 99), kStart);
    EXPECT_EQ(canvas->Pixel(5, 80), kEnd);
    EXPECT_EQ(canvas->Pixel(9, 80), RGB(0, 179, 0));
}

class ProgressControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    CPercentProgressCtrl& AddBar(DWORD style, const RECT& rect)
    {
        HWND hwnd = host.AddChild(PROGRESS_CLASSW, L"", style, rect, 1037);
        EXPECT_TRUE(bar.Subclass(hwnd));
        return bar;
    }

    std::unique_ptr<Canvas> Print()
    {
        RECT client{};
        GetClientRect(bar.GetHwnd(), &client);
        auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
        SendMessageW(bar.GetHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
        return canvas;
    }

    HostWindow host;
    CPercentProgressCtrl bar;
};

TEST_F(ProgressControlTest, PaintsTheStandardControlsRangeAndPosition)
{
    AddBar(0, RECT{30, 30, 341, 40});
    bar.SetRange(0, 8);
    bar.SetPos(2);
    ProgressLook look = bar.Look();
    EXPECT_EQ(look.lower, 0);
    EXPECT_EQ(look.upper, 8);
    EXPECT_EQ(look.pos, 2);
    EXPECT_FALSE(look.vertical);
    auto canvas = Print();
    EXPECT_EQ(canvas->Pixel(0, 0), kStart);
    EXPECT_EQ(canvas->Pixel(76, 0), kStart);
    EXPECT_EQ(canvas->Pixel(78, 0), kGrey);

    bar.ShowPercent(false);
    EXPECT_FALSE(bar.Look().showPercent);
    bar.SetPos(0);
    canvas = Print();
    EXPECT_EQ(canvas->CountPixels(canvas->Rect(), kGrey), 311 * 10);
}

TEST_F(ProgressControlTest, ReadsTheVerticalStyle)
{
    AddBar(PBS_VERTICAL, RECT{10, 10, 20, 110});
    bar.SetRange(0, 4);
    bar.SetPos(2);
    bar.ShowPercent(false); // " 50 %" is wider than the bar
    EXPECT_TRUE(bar.Look().vertical);
    auto canvas = Print();
    EXPECT_EQ(canvas->Pixel(0, 49), kGrey);
    EXPECT_EQ(canvas->Pixel(0, 50), kStart);
}

} // namespace

TEST(PercentProgress, HighContrastPaintsTheBarAndItsTextInSystemColoursOnly)
{
    SetHighContrast(true);
    auto canvas = Paint(311, 16, At(0, 100, 50));
    SetHighContrast(false);
    EXPECT_EQ(canvas->CountNonSystemPixels(canvas->Rect()), 0);
    EXPECT_EQ(canvas->Pixel(40, 8), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas->Pixel(270, 8), GetSysColor(COLOR_WINDOW));
    EXPECT_GT(canvas->CountPixels(RECT{130, 1, 156, 15}, GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);
    EXPECT_GT(canvas->CountPixels(RECT{156, 1, 180, 15}, GetSysColor(COLOR_WINDOWTEXT)), 5);
}
