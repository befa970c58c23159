#include "UiTesting.h"

#include "resource.h"
#include "tests/support/ModalScript.h"
#include "app/CLoaderDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(LoaderDialogTest, TextForEachStep)
{
    Texts texts;
    for (int step = 0; step <= CLoaderDialog::kLastStep; ++step)
        texts.push_back(CLoaderDialog::StepText(step));
    EXPECT_EQ(texts,
              (Texts{"Load Eraser Setting", "Load Eraser Setting", "Load Skin Scheme",
                     "Load Cookie Information", "Load Cache Information", "Load Log Information",
                     "Load Registry Information", "Load Plugin Information", "Load Schedule Information"}));
}

// What one tick of the script saw of the screen.
struct Seen {
    int step;
    int barPos;
};

// The bounding box of what PaintText draws, on a canvas of the screen's size.
RECT DrawnArea(const CLoaderDialog& loader)
{
    const COLORREF ground = RGB(255, 0, 255);
    Canvas canvas(300, 240, ground);
    loader.PaintText(canvas.dc());
    RECT drawn{300, 240, 0, 0};
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (canvas.Pixel(x, y) != ground) {
                drawn.left = std::min<LONG>(drawn.left, x);
                drawn.top = std::min<LONG>(drawn.top, y);
                drawn.right = std::max<LONG>(drawn.right, x + 1);
                drawn.bottom = std::max<LONG>(drawn.bottom, y + 1);
            }
        }
    }
    return drawn;
}

TEST(LoaderDialogTest, StepsThroughItsTimetableAndClosesItself)
{
    CLoaderDialog loader;
    std::vector<Seen> seen;
    std::vector<RECT> drawn;
    ModalScript script({[&] {
        HWND hwnd = FindThreadWindow(CLoaderDialog::kTitle);
        if (!hwnd)
            return false;
        if (seen.empty()) {
            RECT window{};
            GetWindowRect(hwnd, &window);
            EXPECT_EQ(window.right - window.left, 300);
            EXPECT_EQ(window.bottom - window.top, 240);
            PBRANGE range = loader.Bar().GetRange();
            EXPECT_EQ(range.iLow, 0);
            EXPECT_EQ(range.iHigh, 8);
            EXPECT_FALSE(loader.Bar().Look().showPercent);
        }
        if (seen.empty() || seen.back().step != loader.Step()) {
            seen.push_back({loader.Step(), loader.Bar().GetPos()});
            drawn.push_back(DrawnArea(loader));
        }
        return false; // watches until the screen has closed
    }});
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(loader.DoModal(), IDOK);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(script.TimedOut());

    ASSERT_EQ(seen.size(), 9u) << "every step from 0 to 8 was shown";
    for (int step = 0; step < 9; ++step) {
        EXPECT_EQ(seen[step].step, step);
        EXPECT_EQ(seen[step].barPos, step);
        // The area invalidated at each step must hold the text of every step, or a longer line would
        // leave its end behind when a shorter one replaces it.
        RECT inside{};
        RECT textArea = CLoaderDialog::kTextArea;
        IntersectRect(&inside, &drawn[step], &textArea);
        EXPECT_TRUE(EqualRect(&inside, &drawn[step])) << "step " << step;
    }
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 9 * 500 - 50);
}

} // namespace
