#include "UiTesting.h"

#include "resource.h"
#include "ui/HighContrast.h"
#include "ui/CSkinButton.h"
#include "ui/SkinDrawing.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kButtonId = 1008;
// A point of the face that no caption covers.
constexpr int kSampleX = 3;
constexpr int kSampleY = 12;

class SkinButtonTest : public ::testing::Test {
protected:
    void TearDown() override { SetCursorPos(AwayFromWindows().x, AwayFromWindows().y); }

    CSkinButton& AddButton(DWORD style, const RECT& rect = RECT{20, 20, 104, 45},
                           const wchar_t* caption = L"Erase Now", int id = kButtonId)
    {
        HWND hwnd = host.AddChild(L"BUTTON", caption, style, rect, id);
        buttons.push_back(std::make_unique<CSkinButton>());
        EXPECT_TRUE(buttons.back()->Subclass(hwnd));
        return *buttons.back();
    }

    CSkinButton& AddPushButton()
    {
        CSkinButton& button = AddButton(BS_PUSHBUTTON);
        button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
        return button;
    }

    // What the button shows now, through its own owner-draw request.
    std::unique_ptr<Canvas> Print(CSkinButton& button)
    {
        RECT client{};
        GetClientRect(button.GetHwnd(), &client);
        auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
        SendMessageW(button.GetHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
        return canvas;
    }

    COLORREF FacePixel(UINT bitmapId, int x = kSampleX, int y = kSampleY)
    {
        GdiObject<HBITMAP> bitmap = LoadSkinBitmap(bitmapId);
        return Canvas::BitmapPixel(bitmap.get(), x, y);
    }

    static void MoveCursorTo(POINT point) { SetCursorPos(point.x, point.y); }
    static void Send(CSkinButton& button, UINT message, WPARAM wParam, int x, int y)
    {
        SendMessageW(button.GetHwnd(), message, wParam, ClientPoint(x, y));
    }
    // A click with the real cursor on the button, as the check and radio kinds test it.
    static void ClickOn(CSkinButton& button)
    {
        MoveCursorTo(ScreenCentre(button.GetHwnd()));
        Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
        Send(button, WM_LBUTTONUP, 0, 10, 10);
    }
    static bool Pushed(CSkinButton& button) { return (button.GetState() & BST_PUSHED) != 0; }

    HostWindow host;
    std::vector<std::unique_ptr<CSkinButton>> buttons;
};

TEST_F(SkinButtonTest, KindComesFromTheStyleWhichBecomesOwnerDrawn)
{
    CSkinButton& push = AddButton(BS_DEFPUSHBUTTON);
    CSkinButton& check = AddButton(BS_AUTOCHECKBOX);
    CSkinButton& radio = AddButton(BS_AUTORADIOBUTTON);
    CSkinButton& owner = AddButton(BS_OWNERDRAW);
    // Owner-drawn once attached, before anything asks for the kind: the first paint is the skin's.
    for (CSkinButton* button : {&push, &check, &radio})
        EXPECT_EQ(GetWindowLongW(button->GetHwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(push.GetKind(), CSkinButton::Kind::Push);
    EXPECT_EQ(check.GetKind(), CSkinButton::Kind::CheckBox);
    EXPECT_EQ(radio.GetKind(), CSkinButton::Kind::Radio);
    EXPECT_EQ(owner.GetKind(), CSkinButton::Kind::Push);
}

TEST_F(SkinButtonTest, PressThenDragOffShowsNormalFaceAndSendsNoClick)
{
    CSkinButton& button = AddPushButton();
    const COLORREF normal = FacePixel(IDB_BUTTON);
    const COLORREF pressed = FacePixel(IDB_BUTTON_HOVER);
    ASSERT_NE(normal, pressed);

    MoveCursorTo(ScreenCentre(button.GetHwnd()));
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 40, 12);
    EXPECT_TRUE(Pushed(button));
    EXPECT_EQ(GetCapture(), button.GetHwnd());
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), pressed);

    MoveCursorTo(AwayFromWindows());
    Send(button, WM_MOUSEMOVE, MK_LBUTTON, -60, -60);
    EXPECT_FALSE(Pushed(button));
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), normal);

    MoveCursorTo(ScreenCentre(button.GetHwnd()));
    Send(button, WM_MOUSEMOVE, MK_LBUTTON, 40, 12);
    EXPECT_TRUE(Pushed(button));
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), pressed);

    MoveCursorTo(AwayFromWindows());
    Send(button, WM_MOUSEMOVE, MK_LBUTTON, -60, -60);
    Send(button, WM_LBUTTONUP, 0, -60, -60);
    PumpPending();
    EXPECT_EQ(host.clicks, 0);
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), normal);

    ClickOn(button);
    PumpPending();
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(host.lastClickId, kButtonId);
}

TEST_F(SkinButtonTest, HoverFaceComesWithTheCursorAndGoesWhenItLeaves)
{
    CSkinButton& button = AddPushButton();
    MoveCursorTo(ScreenCentre(button.GetHwnd()));
    Send(button, WM_MOUSEMOVE, 0, 40, 12);
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON_HOVER));

    MoveCursorTo(AwayFromWindows());
    EXPECT_TRUE(PumpUntil([&] { return !button.IsHovering(); }));
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON));
}

TEST_F(SkinButtonTest, RadioButtonUnchecksTheOthersOfItsGroup)
{
    CSkinButton& before = AddButton(BS_AUTOCHECKBOX, RECT{100, 10, 184, 35}, L"before", 5);
    CSkinButton& first = AddButton(BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 10, 94, 35}, L"one", 1);
    CSkinButton& second = AddButton(BS_AUTORADIOBUTTON, RECT{10, 40, 94, 65}, L"two", 2);
    CSkinButton& third = AddButton(BS_AUTORADIOBUTTON, RECT{10, 70, 94, 95}, L"three", 3);
    CSkinButton& outside = AddButton(BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 100, 94, 125}, L"other", 4);
    for (auto& button : buttons)
        button->SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
    SendMessageW(outside.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(first.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(first.GetHwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);

    // One after the other with no message handled in between, only the last stays checked.
    SendMessageW(second.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(first.IsChecked());
    EXPECT_TRUE(second.IsChecked());
    PumpPending();
    EXPECT_TRUE(second.IsChecked());

    ClickOn(third);
    EXPECT_FALSE(second.IsChecked());
    EXPECT_TRUE(third.IsChecked());
    EXPECT_TRUE(outside.IsChecked());

    // A disabled member is unchecked too; a control before the group is left alone.
    SendMessageW(before.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(third.GetHwnd(), FALSE);
    SendMessageW(first.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(third.IsChecked());
    EXPECT_TRUE(before.IsChecked());
    EXPECT_TRUE(outside.IsChecked());
    EnableWindow(third.GetHwnd(), TRUE);

    // A checked radio button shows its pressed face.
    SendMessageW(third.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Print(third)->Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON_HOVER));
}

TEST_F(SkinButtonTest, LastGroupRunsToTheEndOfTheList)
{
    CSkinButton& check = AddButton(BS_AUTOCHECKBOX, RECT{10, 10, 94, 35}, L"check", 1);
    CSkinButton& hour = AddButton(BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 40, 94, 65}, L"hour", 2);
    CSkinButton& day = AddButton(BS_AUTORADIOBUTTON, RECT{10, 70, 94, 95}, L"day", 3);
    SendMessageW(check.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(hour.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(day.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(check.IsChecked());
    EXPECT_FALSE(hour.IsChecked());
    EXPECT_TRUE(day.IsChecked());
}

TEST_F(SkinButtonTest, CheckBoxTogglesByClickAndSpaceBar)
{
    CSkinButton& box = AddButton(BS_AUTOCHECKBOX);
    box.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER);
    ClickOn(box);
    EXPECT_TRUE(box.IsChecked());
    ClickOn(box);
    EXPECT_FALSE(box.IsChecked());

    SendMessageW(box.GetHwnd(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(box.IsChecked());
    SendMessageW(box.GetHwnd(), WM_KEYDOWN, VK_SPACE, 1 | (1 << 30)); // held down: auto-repeat
    EXPECT_TRUE(box.IsChecked());
    SendMessageW(box.GetHwnd(), WM_KEYUP, VK_SPACE, 1 | (3u << 30));
    SendMessageW(box.GetHwnd(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_FALSE(box.IsChecked());

    // Released away from the box, a press changes nothing.
    MoveCursorTo(ScreenCentre(box.GetHwnd()));
    Send(box, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    MoveCursorTo(AwayFromWindows());
    Send(box, WM_LBUTTONUP, 0, -60, -60);
    EXPECT_FALSE(box.IsChecked());
}

TEST_F(SkinButtonTest, PushButtonStaysUnchecked)
{
    CSkinButton& button = AddPushButton();
    SendMessageW(button.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(button.GetHwnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ClickOn(button);
    EXPECT_FALSE(button.IsChecked());
    EXPECT_EQ(Print(button)->Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON));
}

TEST_F(SkinButtonTest, NoNormalBitmapGivesTheFaceColourAndCaption)
{
    CSkinButton& button = AddButton(BS_PUSHBUTTON);
    button.SetSkin(0);
    auto canvas = Print(button);
    RECT all = canvas->Rect();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(canvas->Pixel(kSampleX, kSampleY), face);
    int faceCount = canvas->CountPixels(all, face);
    int textCount = canvas->CountPixels(all, text);
    EXPECT_GT(textCount, 10);
    EXPECT_GT(faceCount, (all.right * all.bottom) / 2);
}

TEST_F(SkinButtonTest, DisabledButtonWithoutDisabledFaceShowsNormalFaceAndEngravedCaption)
{
    CSkinButton& button = AddPushButton();
    EnableWindow(button.GetHwnd(), FALSE);
    auto canvas = Print(button);
    EXPECT_EQ(canvas->Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON));
    RECT all = canvas->Rect();
    EXPECT_GT(canvas->CountPixels(all, GetSysColor(COLOR_GRAYTEXT)), 10);
    EXPECT_GT(canvas->CountPixels(all, GetSysColor(COLOR_BTNHIGHLIGHT)), 5);
    EXPECT_EQ(canvas->CountPixels(all, GetSysColor(COLOR_BTNTEXT)), 0);
}

TEST_F(SkinButtonTest, CaptionIsDrawnInTheTextColour)
{
    CSkinButton& button = AddPushButton();
    EXPECT_EQ(button.SetTextColor(RGB(200, 0, 0)), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(button.SetTextColor(RGB(0, 0, 200)), RGB(200, 0, 0));
    auto canvas = Print(button);
    RECT caption{20, 0, 64, 25};
    EXPECT_GT(canvas->CountPixels(caption, RGB(0, 0, 200)), 10);
}

TEST_F(SkinButtonTest, MaskShapesTheWindowToItsNonWhitePixels)
{
    CSkinButton& button = AddButton(BS_PUSHBUTTON, RECT{20, 20, 200, 90});
    button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, 0, IDB_BUTTON_MASK);
    RECT window{};
    GetWindowRect(button.GetHwnd(), &window);
    EXPECT_EQ(window.right - window.left, 84); // plain mode takes the mask's size
    EXPECT_EQ(window.bottom - window.top, 25);

    GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(button.GetHwnd(), region.get()), ERROR);
    GdiObject<HBITMAP> mask = LoadSkinBitmap(IDB_BUTTON_MASK);
    int mismatches = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 84; ++x)
            mismatches += (PtInRegion(region.get(), x, y) != FALSE) !=
                          (Canvas::BitmapPixel(mask.get(), x, y) != RGB(255, 255, 255));
    EXPECT_EQ(mismatches, 0);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 42, 12));

    // A later skin without a mask makes the button rectangular again.
    button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
    EXPECT_EQ(GetWindowRgn(button.GetHwnd(), region.get()), ERROR);
}

TEST_F(SkinButtonTest, MaskedFaceLetsTheBackgroundShowWhereTheMaskIsWhite)
{
    CSkinButton& button = AddButton(BS_PUSHBUTTON);
    button.SetSkin(IDB_BUTTON, 0, 0, 0, 0, IDB_BUTTON_MASK);
    const COLORREF behind = RGB(255, 0, 255);
    Canvas canvas(84, 25, behind);
    button.Paint(canvas.dc(), canvas.Rect(), CSkinButton::Face{});
    EXPECT_EQ(canvas.Pixel(0, 0), behind);
    EXPECT_EQ(canvas.Pixel(83, 24), behind);
    EXPECT_EQ(canvas.Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON));
    EXPECT_EQ(canvas.Pixel(42, 2), FacePixel(IDB_BUTTON, 42, 2));
}

TEST_F(SkinButtonTest, DrawModesCopyStretchAndTile)
{
    const RECT rect{0, 0, 50, 30};
    GdiObject<HBITMAP> tile = LoadSkinBitmap(IDB_TITLE_CLOSE_HOVER); // 20 x 20
    CSkinButton& tiled = AddButton(BS_PUSHBUTTON, rect);
    tiled.SetSkin(IDB_TITLE_CLOSE_HOVER, 0, 0, 0, 0, 0, 5);
    Canvas tiles(50, 30);
    tiled.Paint(tiles.dc(), tiles.Rect(), CSkinButton::Face{});
    for (POINT p : {POINT{3, 4}, POINT{23, 4}, POINT{43, 24}, POINT{9, 29}})
        EXPECT_EQ(tiles.Pixel(p.x, p.y), Canvas::BitmapPixel(tile.get(), p.x % 20, p.y % 20));

    CSkinButton& stretched = AddButton(BS_PUSHBUTTON, RECT{0, 0, 40, 40});
    stretched.SetSkin(IDB_TITLE_CLOSE_HOVER, 0, 0, 0, 0, 0, 1);
    Canvas big(40, 40);
    stretched.Paint(big.dc(), big.Rect(), CSkinButton::Face{});
    EXPECT_EQ(big.Pixel(21, 21), Canvas::BitmapPixel(tile.get(), 10, 10));
    EXPECT_EQ(big.Pixel(39, 39), Canvas::BitmapPixel(tile.get(), 19, 19));

    CSkinButton& plain = AddButton(BS_PUSHBUTTON, RECT{0, 0, 40, 40});
    plain.SetSkin(IDB_TITLE_CLOSE_HOVER, 0, 0, 0, 0, 0, -1);
    Canvas copy(20, 20);
    plain.Paint(copy.dc(), copy.Rect(), CSkinButton::Face{});
    EXPECT_TRUE(copy.ShowsBitmap(0, 0, tile.get()));
}

TEST_F(SkinButtonTest, BorderAndFocusMargin)
{
    CSkinButton& button = AddButton(BS_PUSHBUTTON);
    button.SetSkin(0, 0, 0, 0, 0, 0, 0, 1, 4);
    Canvas raised(84, 25);
    CSkinButton::Face focused;
    focused.focused = true;
    focused.focusCue = false; // the skin's own focus frame is tested on its own
    button.Paint(raised.dc(), raised.Rect(), focused);
    EXPECT_EQ(raised.Pixel(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(raised.Pixel(83, 24), GetSysColor(COLOR_3DDKSHADOW));
    // The focus rectangle's dots, four pixels in.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_LT(raised.CountPixels(RECT{4, 4, 5, 21}, face), 17);
    EXPECT_EQ(raised.CountPixels(RECT{3, 5, 4, 20}, face), 15);

    // Bit 15 set: no focus rectangle; border 0x10000 has empty low bits: no edge.
    button.SetSkin(0, 0, 0, 0, 0, 0, 0, 0x10000, 0x8004);
    Canvas flat(84, 25);
    button.Paint(flat.dc(), flat.Rect(), focused);
    EXPECT_EQ(flat.Pixel(83, 24), face);
    EXPECT_EQ(flat.CountPixels(RECT{4, 4, 5, 21}, face), 17);
}

TEST_F(SkinButtonTest, KeyboardFocusShowsAFrameInTheSkinColourUnlessCuesAreHidden)
{
    CSkinButton& button = AddPushButton();
    CSkinButton::Face face;
    Canvas plain(84, 25);
    button.Paint(plain.dc(), plain.Rect(), face);
    EXPECT_EQ(plain.CountPixels(plain.Rect(), kSkinFocusColour), 0);

    face.focused = true;
    Canvas focused(84, 25);
    button.Paint(focused.dc(), focused.Rect(), face);
    // A one-pixel frame four pixels in, clear of the rounded corners.
    EXPECT_EQ(focused.CountPixels(RECT{4, 4, 80, 5}, kSkinFocusColour), 76);
    EXPECT_EQ(focused.CountPixels(RECT{4, 4, 5, 21}, kSkinFocusColour), 17);
    EXPECT_EQ(focused.CountPixels(RECT{0, 0, 84, 4}, kSkinFocusColour), 0);

    face.focusCue = false;
    Canvas hidden(84, 25);
    button.Paint(hidden.dc(), hidden.Rect(), face);
    EXPECT_EQ(hidden.CountPixels(hidden.Rect(), kSkinFocusColour), 0);
}

TEST_F(SkinButtonTest, PrivateMessageUnchecks)
{
    CSkinButton& radio = AddButton(BS_AUTORADIOBUTTON);
    SendMessageW(radio.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(radio.GetHwnd(), CSkinButton::kUncheckMessage, 0, 0);
    EXPECT_FALSE(radio.IsChecked());
    EXPECT_EQ(CSkinButton::kUncheckMessage, 0x500u);
}

TEST(ToolTip, CarriesTheTextOfItsTool)
{
    HostWindow host;
    HWND button = host.AddChild(L"BUTTON", L"", BS_PUSHBUTTON, RECT{0, 0, 84, 25}, 5);
    CToolTip tip;
    ASSERT_TRUE(tip.Create(button, "Erase Now"));
    EXPECT_EQ(SendMessageW(tip.GetHwnd(), TTM_GETTOOLCOUNT, 0, 0), 1);
    auto text = [&] {
        wchar_t buffer[80] = {};
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = host.GetHwnd();
        info.uId = reinterpret_cast<UINT_PTR>(button);
        info.uFlags = TTF_IDISHWND;
        info.lpszText = buffer;
        SendMessageW(tip.GetHwnd(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(), L"Erase Now");
    tip.SetText("Erase Option");
    EXPECT_EQ(text(), L"Erase Option");
    EXPECT_FALSE(tip.Create(button, "again"));
}

TEST(ToolTip, GoesWithItsWindowWhenThatIsDestroyedFirst)
{
    CToolTip tip;
    {
        HostWindow host;
        HWND button = host.AddChild(L"BUTTON", L"", BS_PUSHBUTTON, RECT{0, 0, 84, 25}, 5);
        ASSERT_TRUE(tip.Create(button, "Close it"));
        ASSERT_NE(tip.GetHwnd(), nullptr);
    }
    EXPECT_EQ(tip.GetHwnd(), nullptr);
}

} // namespace

// High contrast: no bitmap, only system colours, the focus framed even without focus cues, and a button
// that shows only a picture writes what its tooltip says; the skin's face returns when it goes.
TEST_F(SkinButtonTest, HighContrastPaintsSystemColoursOnlyAndAPictureButtonWritesItsTooltip)
{
    CSkinButton& button = AddPushButton();
    CSkinButton& picture = AddButton(BS_PUSHBUTTON, RECT{20, 60, 104, 85}, L"", kButtonId + 1);
    picture.SetSkin(IDB_BUTTON);
    picture.SetToolTipText("Windows");
    SetHighContrast(true);
    auto plain = Print(button);
    auto pictureFace = Print(picture);
    Canvas focused(84, 25);
    SelectedObject font(focused.dc(), GetStockObject(DEFAULT_GUI_FONT));
    CSkinButton::Face face;
    face.focused = true;
    face.focusCue = false;
    face.caption = "Erase Now";
    button.Paint(focused.dc(), focused.Rect(), face);
    SetHighContrast(false);
    auto skinned = Print(button);

    for (const Canvas* canvas : {plain.get(), pictureFace.get(), &focused})
        EXPECT_EQ(canvas->CountNonSystemPixels(canvas->Rect()), 0);
    EXPECT_GT(plain->CountPixels(RECT{20, 0, 64, 25}, GetSysColor(COLOR_BTNTEXT)), 10);
    EXPECT_GT(pictureFace->CountPixels(RECT{20, 0, 64, 25}, GetSysColor(COLOR_BTNTEXT)), 10);
    // The focus frame three pixels in, where the unfocused face has the button face colour.
    EXPECT_EQ(focused.Pixel(40, 2), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(plain->Pixel(40, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(skinned->Pixel(kSampleX, kSampleY), FacePixel(IDB_BUTTON));
}

// Without the skin a page tab's face is its own: it must follow its page, and a name wider than the tab
// goes on two lines rather than being cut at both sides.
TEST_F(SkinButtonTest, HighContrastPageTabsFollowTheirPageAndLongNamesWrap)
{
    CSkinButton& tab = AddButton(BS_PUSHBUTTON, RECT{20, 20, 96, 53}, L"Internet Explorer");
    tab.SetPageTab("Alt+1");
    SetHighContrast(true);
    tab.SetSelectedTab(true);
    auto selected = Print(tab);
    ValidateRect(tab.GetHwnd(), nullptr);
    tab.SetSelectedTab(false);
    EXPECT_TRUE(GetUpdateRect(tab.GetHwnd(), nullptr, FALSE)) << "the tab of the page left keeps its face";
    auto unselected = Print(tab);
    SetHighContrast(false);

    EXPECT_EQ(selected->Pixel(3, 3), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(unselected->Pixel(3, 3), GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(unselected->CountPixels(RECT{4, 0, 72, 33}, GetSysColor(COLOR_BTNTEXT)), 20);
    EXPECT_EQ(unselected->CountPixels(RECT{4, 1, 8, 32}, GetSysColor(COLOR_BTNTEXT)), 0) << "cut at its left";
}
