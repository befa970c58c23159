#include "UiTesting.h"

#include "resource.h"
#include "ui/HighContrast.h"
#include "ui/CCheckListCtrl.h"
#include "ui/SkinDrawing.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kHighlight = RGB(0, 0, 200);
constexpr COLORREF kHighlightText = RGB(255, 255, 0);
constexpr int kRow = 19;       // 13 x 13 boxes give 19 x 19 cells
constexpr int kFirstRow = 5;   // the first row's top
constexpr int kLevel2Box = 24; // where a child's box starts

class CheckListTest : public ::testing::Test {
protected:
    void MakeList(int width, int height, UINT check = IDB_CHECK_CHECKED, UINT uncheck = IDB_CHECK_UNCHECKED,
                  UINT middle = IDB_CHECK_MIXED)
    {
        list = std::make_unique<CCheckListCtrl>();
        ASSERT_TRUE(list->Create(RECT{10, 10, 10 + width, 10 + height}, host.GetHwnd(), 10001, check, uncheck,
                                 middle, kWhite));
    }

    CheckListItem* Add(const std::string& text, CheckListItem* parent, int state, int data = 0)
    {
        return list->AddItem(text, parent, state, data, kBlack, kHighlightText, kHighlight);
    }

    // A group row with children in the given states; returns the group.
    CheckListItem* AddGroup(const std::string& name, std::initializer_list<int> states)
    {
        CheckListItem* group = Add(name, nullptr, CheckListItem::Unchecked);
        int n = 0;
        for (int state : states)
            Add("item " + std::to_string(++n), group, state);
        return group;
    }

    HWND View() const { return list->View().GetHwnd(); }

    void Click(int x, int y) { SendMessageW(View(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(x, y)); }
    // The middle of a row's box on the page.
    void ClickBox(int displayRow, int level)
    {
        Click(5 + (level - 1) * kRow + 6, kFirstRow + displayRow * kRow + 6);
    }
    void ClickText(int displayRow) { Click(120, kFirstRow + displayRow * kRow + 6); }

    void Scroll(UINT message, int request, int thumb = 0)
    {
        SendMessageW(View(), message, MAKEWPARAM(request, thumb), 0);
    }

    std::unique_ptr<Canvas> Render() const
    {
        RECT client{};
        GetClientRect(View(), &client);
        auto canvas = std::make_unique<Canvas>(client.right, client.bottom, kWhite);
        list->View().Paint(canvas->dc(), client);
        return canvas;
    }

    bool HasStyle(DWORD style) const { return (GetWindowLongW(View(), GWL_STYLE) & style) != 0; }

    HostWindow host;
    std::unique_ptr<CCheckListCtrl> list;
};

TEST_F(CheckListTest, RowsAreNineteenPixelsFromFiveWithChildBoxesAtTwentyFour)
{
    MakeList(222, 260);
    CheckListItem* group = AddGroup("Internet Explorer (Select All)", {1, 0, 2});
    list->SetCheck(0, CheckListItem::Middle);
    EXPECT_EQ(list->RowHeight(), kRow);
    EXPECT_EQ(group->level, 1);
    EXPECT_EQ(group->children[0]->level, 2);

    auto canvas = Render();
    GdiObject<HBITMAP> check = LoadSkinBitmap(IDB_CHECK_CHECKED);
    GdiObject<HBITMAP> uncheck = LoadSkinBitmap(IDB_CHECK_UNCHECKED);
    GdiObject<HBITMAP> middle = LoadSkinBitmap(IDB_CHECK_MIXED);
    EXPECT_TRUE(canvas->ShowsBitmap(5, kFirstRow, middle.get()));
    EXPECT_TRUE(canvas->ShowsBitmap(kLevel2Box, kFirstRow + kRow, check.get()));
    EXPECT_TRUE(canvas->ShowsBitmap(kLevel2Box, kFirstRow + 2 * kRow, uncheck.get()));
    EXPECT_TRUE(canvas->ShowsBitmap(kLevel2Box, kFirstRow + 3 * kRow, middle.get()));
    // Above the first row and below the last nothing is drawn.
    EXPECT_EQ(canvas->CountPixels(RECT{0, 0, 200, kFirstRow}, kWhite), 200 * kFirstRow);
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    EXPECT_EQ(canvas->CountPixels(RECT{0, kFirstRow + 4 * kRow, 200, 250}, kWhite),
              200 * (250 - kFirstRow - 4 * kRow));
    // The text starts one cell right of the box, in the row's colour.
    EXPECT_GT(
        canvas->CountPixels(RECT{kLevel2Box + kRow, kFirstRow + kRow, 200, kFirstRow + 2 * kRow}, kBlack), 0);
    EXPECT_EQ(canvas->CountPixels(
                  RECT{kLevel2Box + 13, kFirstRow + kRow, kLevel2Box + kRow, kFirstRow + 2 * kRow}, kBlack),
              0);
}

TEST_F(CheckListTest, ChildBoxIsHitFromTwentyFourUpToFortyThree)
{
    MakeList(222, 260);
    AddGroup("Group", {0, 0});
    int y = kFirstRow + kRow + 10;
    Click(kLevel2Box - 1, y);
    EXPECT_EQ(list->GetCheck(1), 0);
    Click(kLevel2Box + kRow, y);
    EXPECT_EQ(list->GetCheck(1), 0);
    EXPECT_FALSE(list->IsModified());
    Click(kLevel2Box, y);
    EXPECT_EQ(list->GetCheck(1), 1);
    Click(kLevel2Box + kRow - 1, y);
    EXPECT_EQ(list->GetCheck(1), 0);
    EXPECT_TRUE(list->IsModified());
    // The cell's bottom pixels still belong to the row the box is drawn in.
    Click(kLevel2Box + 5, kFirstRow + 2 * kRow - 1);
    EXPECT_EQ(list->GetCheck(1), 1);
    EXPECT_EQ(list->GetCheck(2), 0);
}

TEST_F(CheckListTest, ClickingTextSelectsWithoutToggling)
{
    MakeList(222, 260);
    AddGroup("Group", {1, 0});
    ClickText(2);
    EXPECT_EQ(list->View().SelectedIndex(), 2);
    EXPECT_EQ(list->GetCheck(2), 0);
    EXPECT_FALSE(list->IsModified());

    auto canvas = Render();
    RECT row{kLevel2Box + kRow - 4, kFirstRow + 2 * kRow, 222, kFirstRow + 3 * kRow};
    EXPECT_GT(canvas->CountPixels(row, kHighlight), 50);
    EXPECT_GT(canvas->CountPixels(row, kHighlightText), 0);
    EXPECT_GT(canvas->CountPixels(row, kBlack), 0); // the focus rectangle's dots

    // Selecting another row leaves one selected row.
    ClickText(1);
    EXPECT_EQ(list->View().SelectedIndex(), 1);
    EXPECT_FALSE(list->FindItemByData(0)->children[1]->selected);
    auto after = Render();
    EXPECT_EQ(after->CountPixels(row, kHighlight), 0);
}

TEST_F(CheckListTest, GroupBoxTogglesMixedToUncheckedThenChecked)
{
    MakeList(222, 260);
    CheckListItem* group = AddGroup("Group", {1, 0, 1});
    list->SetCheck(0, CheckListItem::Middle);
    ClickBox(0, 1);
    EXPECT_EQ(group->state, 0);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(list->GetCheck(i), 0);
    ClickBox(0, 1);
    for (int i = 0; i <= 3; ++i)
        EXPECT_EQ(list->GetCheck(i), 1);
    EXPECT_TRUE(list->IsModified());
}

// A row the organization decides: no click, no key, no group row changes it, and its box looks disabled.
TEST_F(CheckListTest, LockedRowKeepsItsTickAndLooksGreyed)
{
    MakeList(222, 260);
    CheckListItem* group = AddGroup("Group", {0, 1});
    list->SetCheck(0, CheckListItem::Middle);
    CheckListItem* locked = group->children[1].get();
    locked->locked = true;
    ClickBox(2, 2);
    EXPECT_EQ(locked->state, CheckListItem::Checked);
    ClickText(2);
    SendMessageW(View(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(locked->state, CheckListItem::Checked);
    ClickBox(0, 1);
    EXPECT_EQ(list->GetCheck(1), CheckListItem::Checked)
        << "only the locked row was ticked: the group ticks all";
    EXPECT_EQ(group->state, CheckListItem::Checked);
    ClickBox(0, 1);
    EXPECT_EQ(list->GetCheck(1), CheckListItem::Unchecked);
    EXPECT_EQ(locked->state, CheckListItem::Checked);
    EXPECT_EQ(group->state, CheckListItem::Middle);

    const RECT box{kLevel2Box, kFirstRow + 2 * kRow, kLevel2Box + 13, kFirstRow + 2 * kRow + 13};
    int greyedWhite = Render()->CountPixels(box, kWhite);
    locked->locked = false;
    EXPECT_GT(greyedWhite, Render()->CountPixels(box, kWhite) + 20);
}

TEST_F(CheckListTest, ParentFollowsItsChildren)
{
    MakeList(222, 260);
    AddGroup("Group", {1, 1, 1});
    list->SetCheck(0, CheckListItem::Checked);
    ClickBox(2, 2);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);
    ClickBox(1, 2);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);
    ClickBox(3, 2);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Unchecked);
    ClickBox(1, 2);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);

    // Children that are all middle (groups partly ticked) leave the parent middle: it is not all ticked.
    list->SetModified(false);
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(list->SetCheck(i, CheckListItem::Middle), 0);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);
    EXPECT_FALSE(list->IsModified());
}

TEST_F(CheckListTest, ParentStateReachesEveryAncestor)
{
    MakeList(222, 260);
    CheckListItem* top = Add("top", nullptr, 1);
    CheckListItem* middle = Add("middle", top, 1);
    Add("leaf a", middle, 1);
    Add("leaf b", middle, 1);
    Add("sibling", top, 1);
    EXPECT_EQ(list->GetCount(nullptr), 5);
    EXPECT_EQ(list->GetCount(top), 2);
    EXPECT_EQ(list->GetCount(middle), 2);
    std::string text;
    ASSERT_EQ(list->GetItemText(3, text), 0);
    EXPECT_EQ(text, "leaf b");
    EXPECT_EQ(list->GetItemText(4, text), 0);
    EXPECT_EQ(text, "sibling");

    ClickBox(2, 3);
    EXPECT_EQ(list->GetCheck(1), CheckListItem::Middle);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle); // a middle child is not all ticked
    ClickBox(3, 3);
    EXPECT_EQ(list->GetCheck(1), CheckListItem::Unchecked);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);
}

TEST_F(CheckListTest, ReadOnlyListSelectsButNeverToggles)
{
    MakeList(274, 234, IDB_PROGRESS_CHECK_DONE, IDB_PROGRESS_CHECK_PENDING, IDB_PROGRESS_CHECK_PENDING);
    EXPECT_EQ(list->RowHeight(), 21);
    Add("Temporary Internet Files", nullptr, 0);
    Add("Cookies", nullptr, 0);
    list->SetToggleEnabled(false);
    Click(10, kFirstRow + 21 + 8);
    EXPECT_EQ(list->GetCheck(1), 0);
    EXPECT_EQ(list->View().SelectedIndex(), 1);
    EXPECT_FALSE(list->IsModified());
    EXPECT_EQ(list->SetCheck(1, 1), 0);
    EXPECT_EQ(list->GetCheck(1), 1);

    auto canvas = Render();
    GdiObject<HBITMAP> done = LoadSkinBitmap(IDB_PROGRESS_CHECK_DONE);
    EXPECT_TRUE(canvas->ShowsBitmap(5, kFirstRow + 21, done.get()));
}

TEST_F(CheckListTest, PartlyVisibleBottomRowScrollsUpByOneFirst)
{
    // The view is 2 pixels in on each side: 5 whole rows and 10 pixels of a sixth.
    MakeList(200, 5 * kRow + 10 + 4);
    for (int i = 0; i < 10; ++i)
        Add("row " + std::to_string(i), nullptr, 0);
    ASSERT_EQ(list->View().RowsPerPage(), 5);
    Click(80, kFirstRow + 5 * kRow + 2);
    EXPECT_EQ(list->View().TopRow(), 1);
    EXPECT_EQ(GetScrollPos(View(), SB_VERT), 1);
    EXPECT_EQ(list->View().SelectedIndex(), 5);
    EXPECT_EQ(list->GetCheck(5), 0);

    // Rows 1 to 6 are drawn now, the partly visible one included.
    auto canvas = Render();
    GdiObject<HBITMAP> uncheck = LoadSkinBitmap(IDB_CHECK_UNCHECKED);
    EXPECT_TRUE(canvas->ShowsBitmap(5, kFirstRow + 4 * kRow, uncheck.get()));
    list->SetCheck(6, 1);
    canvas = Render();
    GdiObject<HBITMAP> check = LoadSkinBitmap(IDB_CHECK_CHECKED);
    for (int by = 0; by < 5; ++by)
        for (int bx = 0; bx < 13; ++bx)
            EXPECT_EQ(canvas->Pixel(5 + bx, kFirstRow + 5 * kRow + by),
                      Canvas::BitmapPixel(check.get(), bx, by));
}

TEST_F(CheckListTest, AddItemRefusesStatesOutsideZeroToTwo)
{
    MakeList(222, 260);
    EXPECT_EQ(Add("three", nullptr, 3), nullptr);
    EXPECT_EQ(Add("minus one", nullptr, -1), nullptr);
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_NE(Add("two", nullptr, 2), nullptr);
    EXPECT_EQ(list->GetCount(), 1);
}

TEST_F(CheckListTest, BadIndexesAndStatesChangeNothing)
{
    MakeList(222, 260);
    AddGroup("Group", {1, 0});
    std::string text = "unchanged";
    EXPECT_EQ(list->GetItemText(3, text), -1);
    EXPECT_EQ(list->GetItemText(-1, text), -1);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(list->GetCheck(-2), -1);
    EXPECT_EQ(list->SetCheck(1, 3), -1);
    EXPECT_EQ(list->SetCheck(5, 1), -1);
    EXPECT_EQ(list->GetCheck(1), 1);
    EXPECT_EQ(list->SetItemData(3, 7), -1);
    EXPECT_EQ(list->GetItemData(3), -1);
    EXPECT_EQ(list->SetCurSel(3), -1);
    EXPECT_EQ(list->SetCurSel(-2), -1);
}

TEST_F(CheckListTest, DataIsKeptAndFound)
{
    MakeList(222, 260);
    CheckListItem* group = Add("Group", nullptr, 0, 100);
    Add("a", group, 0, 7);
    Add("b", group, 0, 8);
    EXPECT_EQ(list->SetItemData(2, 9), 0);
    EXPECT_EQ(list->GetItemData(2), 9);
    EXPECT_EQ(list->FindItemByData(7), group->children[0].get());
    EXPECT_EQ(list->FindItemByData(8), nullptr);
    EXPECT_EQ(list->FindItemByData(100), group);
}

TEST_F(CheckListTest, SetCurSelSelectsAndMinusOneClears)
{
    MakeList(222, 260);
    AddGroup("Group", {0, 0});
    EXPECT_EQ(list->SetCurSel(2), 0);
    EXPECT_EQ(list->View().SelectedIndex(), 2);
    EXPECT_EQ(list->GetCheck(2), 0);
    EXPECT_EQ(list->SetCurSel(-1), 0);
    EXPECT_EQ(list->View().SelectedIndex(), -1);
    EXPECT_FALSE(list->FindItemByData(0)->children[1]->selected);
}

TEST_F(CheckListTest, ResetContentEmptiesAndClearsSelection)
{
    MakeList(222, 100);
    for (int i = 0; i < 10; ++i)
        Add("row " + std::to_string(i), nullptr, 0);
    list->SetCurSel(3);
    ASSERT_TRUE(HasStyle(WS_VSCROLL));
    list->ResetContent();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->MaxExtent(), 0);
    EXPECT_EQ(list->View().SelectedIndex(), -1);
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    auto canvas = Render();
    RECT client{};
    GetClientRect(View(), &client);
    EXPECT_EQ(canvas->CountPixels(client, kWhite), client.right * client.bottom);
}

TEST_F(CheckListTest, ScrollBarsAppearOnlyWhenNeeded)
{
    MakeList(222, 260);
    AddGroup("Group", {0, 0});
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    EXPECT_FALSE(HasStyle(WS_HSCROLL));

    for (int i = 0; i < 20; ++i)
        Add("row " + std::to_string(i), nullptr, 0);
    ASSERT_TRUE(HasStyle(WS_VSCROLL));

    // The thumb is the page's share of the rows.
    SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(View(), SB_VERT, &info);
    EXPECT_EQ(info.nPage, static_cast<UINT>(list->View().RowsPerPage()));
    EXPECT_EQ(info.nMax, list->GetCount() - 1);

    CheckListItem* wide = Add(std::string(60, 'W'), nullptr, 0);
    EXPECT_FALSE(HasStyle(WS_HSCROLL)); // a long name is cut instead
    EXPECT_EQ(wide->extent, wide->textWidth + kRow + 5);
    EXPECT_EQ(list->MaxExtent(), wide->extent);
}

TEST_F(CheckListTest, LineAndPageStepsStopAtBothEnds)
{
    MakeList(200, 5 * kRow + 4); // five whole rows
    for (int i = 0; i < 20; ++i)
        Add("row " + std::to_string(i), nullptr, 0);
    const int page = list->View().RowsPerPage();
    ASSERT_EQ(page, 5);
    const int last = 20 - page;
    auto top = [&] { return list->View().TopRow(); };

    Scroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(top(), 0);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(top(), 0);
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(top(), page - 1);
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(top(), 3 * (page - 1));
    Scroll(WM_VSCROLL, SB_PAGEDOWN); // fewer than a page left: straight to the end
    EXPECT_EQ(top(), last);
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(top(), last);
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(top(), last);
    EXPECT_EQ(GetScrollPos(View(), SB_VERT), last);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(top(), last - (page - 1));
    Scroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(top(), last - page);
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 3);
    EXPECT_EQ(top(), 3);
    Scroll(WM_VSCROLL, SB_PAGEUP); // less than a page from the top
    EXPECT_EQ(top(), 0);
    Scroll(WM_VSCROLL, SB_THUMBPOSITION, 7);
    Scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(top(), 0);

    // Scrolled rows are drawn from the top row on.
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    std::string text;
    list->GetItemText(1, text);
    list->SetCurSel(1);
    auto canvas = Render();
    EXPECT_GT(canvas->CountPixels(RECT{0, kFirstRow, 200, kFirstRow + kRow}, kHighlight), 0);
}

TEST_F(CheckListTest, LongNamesEndInAnEllipsisAndShowWholeInTheTooltipWithTheWarning)
{
    MakeList(150, 100);
    CheckListItem* longName = Add(std::string(80, 'M'), nullptr, 0);
    CheckListItem* shortName = Add("Cookies", nullptr, 0);
    ASSERT_GT(list->MaxExtent(), 150);
    // Horizontal requests move nothing: there is nothing to the right.
    Scroll(WM_HSCROLL, SB_PAGERIGHT);
    auto canvas = Render();
    GdiObject<HBITMAP> uncheck = LoadSkinBitmap(IDB_CHECK_UNCHECKED);
    EXPECT_TRUE(canvas->ShowsBitmap(5, kFirstRow, uncheck.get()));
    RECT client{};
    GetClientRect(View(), &client);
    // The cut name leaves a gap before the edge (the ellipsis is narrower than an M), never a clipped glyph.
    EXPECT_EQ(canvas->CountPixels(RECT{client.right - 1, kFirstRow, client.right, kFirstRow + kRow}, kBlack),
              0);

    EXPECT_EQ(list->View().TipText(*longName), longName->text);
    EXPECT_EQ(list->View().TipText(*shortName), "");
    shortName->warning = "Signs you out of every site.";
    EXPECT_EQ(list->View().TipText(*shortName), "Signs you out of every site.");
    longName->warning = "Slow.";
    EXPECT_EQ(list->View().TipText(*longName), longName->text + "\nSlow.");

    // A detail (a count) stays whole at the row's right end: the name gives way to it, with a gap.
    ASSERT_EQ(list->SetItemDetail(1, "1,234 files"), 0);
    ASSERT_EQ(list->SetItemDetail(0, "99 files"), 0);
    canvas = Render();
    const int detailLeft = client.right - 5 - longName->detailWidth; // the margin is 5 pixels
    EXPECT_GT(canvas->CountPixels(RECT{detailLeft, kFirstRow, detailLeft + 4, kFirstRow + kRow}, kBlack), 0)
        << "the detail's first glyph";
    EXPECT_EQ(canvas->CountPixels(RECT{detailLeft - 6, kFirstRow, detailLeft - 1, kFirstRow + kRow}, kBlack),
              0)
        << "a gap between the cut name and the detail";
    EXPECT_EQ(list->View().TipText(*longName), longName->text + "\nSlow.");
    EXPECT_EQ(list->GetItemDetail(1), "1,234 files");
}

TEST_F(CheckListTest, KeysMoveTheSelectionAndSpaceToggles)
{
    MakeList(200, 5 * kRow + 4); // five whole rows
    AddGroup("Group", {1, 1, 1, 1, 1, 1, 1, 1, 1});
    auto key = [&](UINT vk) { SendMessageW(View(), WM_KEYDOWN, vk, 0); };
    auto selected = [&] { return list->View().SelectedIndex(); };
    EXPECT_EQ(SendMessageW(View(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);

    key(VK_DOWN);
    EXPECT_EQ(selected(), 0);
    key(VK_UP);
    EXPECT_EQ(selected(), 0);
    key(VK_NEXT);
    EXPECT_EQ(selected(), 4);
    key(VK_NEXT);
    EXPECT_EQ(selected(), 8);
    EXPECT_EQ(list->View().TopRow(), 4); // the selection stays in view
    key(VK_END);
    EXPECT_EQ(selected(), 9);
    EXPECT_EQ(list->View().TopRow(), 5);
    key(VK_PRIOR);
    EXPECT_EQ(selected(), 5);
    key(VK_HOME);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(list->View().TopRow(), 0);

    // Space on the group follows the tree's rules; on a child it updates the group.
    AddGroup("Second", {0, 0});
    key(VK_END);
    key(VK_UP);
    key(VK_UP);
    EXPECT_EQ(selected(), 10);
    key(VK_SPACE);
    EXPECT_EQ(list->GetCheck(10), CheckListItem::Checked);
    EXPECT_EQ(list->GetCheck(12), CheckListItem::Checked);
    EXPECT_TRUE(list->IsModified());
    key(VK_DOWN);
    key(VK_SPACE);
    EXPECT_EQ(list->GetCheck(11), CheckListItem::Unchecked);
    EXPECT_EQ(list->GetCheck(10), CheckListItem::Middle);
    key(VK_SPACE);
    SendMessageW(View(), WM_KEYDOWN, VK_SPACE, 1 << 30); // auto-repeat
    EXPECT_EQ(list->GetCheck(11), CheckListItem::Checked);
    list->SetToggleEnabled(false);
    key(VK_SPACE);
    EXPECT_EQ(list->GetCheck(11), CheckListItem::Checked);
}

TEST_F(CheckListTest, WheelScrollsBySystemLinesAndStopsAtTheEnds)
{
    MakeList(200, 5 * kRow + 4);
    for (int i = 0; i < 20; ++i)
        Add("row " + std::to_string(i), nullptr, 0);
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_NE(lines, WHEEL_PAGESCROLL);
    auto wheel = [&](int delta) { SendMessageW(View(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0); };
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(list->View().TopRow(), static_cast<int>(lines));
    EXPECT_EQ(GetScrollPos(View(), SB_VERT), static_cast<int>(lines));
    wheel(WHEEL_DELTA / 2); // half a notch of a fine wheel waits for the other half
    wheel(WHEEL_DELTA / 2);
    EXPECT_EQ(list->View().TopRow(), 0);
    for (int i = 0; i < 20; ++i)
        wheel(-WHEEL_DELTA);
    EXPECT_EQ(list->View().TopRow(), 20 - 5);
}

TEST_F(CheckListTest, FocusShowsAsAFrameInTheSkinColour)
{
    MakeList(200, 100);
    RECT client{};
    GetClientRect(list->GetHwnd(), &client);
    Canvas canvas(client.right, client.bottom, kWhite);
    list->PaintFrame(canvas.dc(), client, false);
    EXPECT_EQ(canvas.CountPixels(client, kSkinFocusColour), 0);
    list->PaintFrame(canvas.dc(), client, true);
    // The whole 2-pixel margin, nothing inside it.
    const int margin = 2 * (client.right + client.bottom) * 2 - 16;
    EXPECT_EQ(canvas.CountPixels(client, kSkinFocusColour), margin);
    EXPECT_EQ(canvas.CountPixels(RECT{2, 2, client.right - 2, client.bottom - 2}, kSkinFocusColour), 0);
}

TEST_F(CheckListTest, ResizingTheFrameMovesTheViewAndRecountsThePage)
{
    MakeList(200, 5 * kRow + 4);
    for (int i = 0; i < 8; ++i)
        Add("row " + std::to_string(i), nullptr, 0);
    ASSERT_TRUE(HasStyle(WS_VSCROLL));
    SetWindowPos(list->GetHwnd(), nullptr, 0, 0, 200, 10 * kRow + 4, SWP_NOMOVE | SWP_NOZORDER);
    RECT view{};
    GetWindowRect(View(), &view);
    EXPECT_EQ(view.bottom - view.top, 10 * kRow);
    EXPECT_EQ(list->View().RowsPerPage(), 10);
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
}

TEST_F(CheckListTest, MissingOrMismatchedBitmapsAreReported)
{
    {
        MessageBoxCloser closer;
        CCheckListCtrl broken;
        EXPECT_FALSE(broken.Create(RECT{0, 0, 100, 100}, host.GetHwnd(), 10001, IDB_CHECK_CHECKED, 9999,
                                   IDB_CHECK_MIXED, kWhite));
        EXPECT_NE(closer.Texts().find("Unable to load UNCHECK bitmap."), std::string::npos);
        EXPECT_EQ(broken.GetHwnd(), nullptr);
    }
    {
        MessageBoxCloser closer;
        CCheckListCtrl mixed;
        EXPECT_FALSE(mixed.Create(RECT{0, 0, 100, 100}, host.GetHwnd(), 10001, IDB_CHECK_CHECKED,
                                  IDB_CHECK_UNCHECKED, IDB_PROGRESS_CHECK_PENDING, kWhite));
        EXPECT_NE(closer.Texts().find("Images must be the same size!"), std::string::npos);
    }
}

TEST_F(CheckListTest, FrameAndViewCarryTheirNamesAndIds)
{
    MakeList(222, 260);
    wchar_t text[32] = {};
    GetWindowTextW(list->GetHwnd(), text, 32);
    EXPECT_STREQ(text, L"CLISTBOX");
    GetWindowTextW(View(), text, 32);
    EXPECT_STREQ(text, L"Check Control");
    EXPECT_EQ(GetDlgCtrlID(list->GetHwnd()), 10001);
    EXPECT_EQ(GetDlgCtrlID(View()), 10002);
    RECT view{};
    GetWindowRect(View(), &view);
    MapWindowPoints(nullptr, list->GetHwnd(), reinterpret_cast<POINT*>(&view), 2);
    EXPECT_EQ(view.left, 2);
    EXPECT_EQ(view.top, 2);
    EXPECT_EQ(view.right, 220);
    EXPECT_EQ(view.bottom, 258);
}

} // namespace

namespace {

// The texts of the rows shown, top to bottom.
std::vector<std::string> ShownTexts(const CCheckListCtrl& list)
{
    std::vector<std::string> texts;
    for (int index = 0; index < list.GetCount(); ++index) {
        std::string text;
        list.GetItemText(index, text);
        if (list.FindItemByData(index + 100)->position >= 0)
            texts.push_back(text);
    }
    return texts;
}

} // namespace

// A page as the main window fills it: "(Select All)", two programs' groups and an item alone. Each row's
// data is its index + 100.
class GroupedListTest : public CheckListTest {
protected:
    void SetUp() override
    {
        MakeList(222, 8 * kRow + 4);
        CheckListItem* all = AddRow("Applications (Select All)", nullptr);
        chrome = AddGroupRow("Chrome", all, {"Cache", "Cookies", "History"});
        AddRow("Discord Cache", all);
        firefox = AddGroupRow("Firefox", all, {"Cache", "Cookies"});
    }

    CheckListItem* AddRow(const std::string& text, CheckListItem* parent)
    {
        return Add(text, parent, CheckListItem::Unchecked, 100 + list->GetCount());
    }

    CheckListItem* AddGroupRow(const std::string& name, CheckListItem* parent,
                               std::initializer_list<const char*> items)
    {
        CheckListItem* group = AddRow(name, parent);
        group->foldable = true;
        for (const char* item : items)
            AddRow(item, group);
        return group;
    }

    void Key(UINT vk) { SendMessageW(View(), WM_KEYDOWN, vk, 0); }
    void Type(const std::string& letters)
    {
        for (char letter : letters)
            SendMessageW(View(), WM_CHAR, static_cast<WPARAM>(letter), 0);
    }
    std::string Selected() const
    {
        std::string text;
        list->GetItemText(list->View().SelectedIndex(), text);
        return text;
    }
    // The middle of the fold glyph of a level-2 row on the given display row: the cell left of its box.
    void ClickGlyph(int displayRow) { Click(kLevel2Box - kRow / 2, kFirstRow + displayRow * kRow + 9); }

    CheckListItem* chrome = nullptr;
    CheckListItem* firefox = nullptr;
};

TEST_F(GroupedListTest, FoldedGroupsHideTheirRowsAndStillTickThemAll)
{
    using Texts = std::vector<std::string>;
    const Texts open{"Applications (Select All)",
                     "Chrome",
                     "Cache",
                     "Cookies",
                     "History",
                     "Discord Cache",
                     "Firefox",
                     "Cache",
                     "Cookies"};
    EXPECT_EQ(ShownTexts(*list), open);
    ClickGlyph(1);
    EXPECT_TRUE(chrome->folded);
    EXPECT_FALSE(list->IsModified()) << "folding ticks nothing";
    EXPECT_EQ(ShownTexts(*list),
              (Texts{"Applications (Select All)", "Chrome", "Discord Cache", "Firefox", "Cache", "Cookies"}));
    // Rows below a folded group follow their group's box, and the tri-state rules hold throughout.
    ClickBox(1, 2);
    for (int index : {1, 2, 3, 4})
        EXPECT_EQ(list->GetCheck(index), CheckListItem::Checked) << index;
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);
    EXPECT_EQ(list->GetCheck(6), CheckListItem::Unchecked);
    ClickGlyph(1);
    EXPECT_EQ(ShownTexts(*list), open);
    ClickBox(3, 3); // Chrome's Cookies
    EXPECT_EQ(list->GetCheck(1), CheckListItem::Middle);
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);

    // The keys as in a tree view; folding away the selected row selects its group.
    list->SetCurSel(3);
    Key(VK_LEFT);
    EXPECT_EQ(Selected(), "Chrome") << "Left on a child goes to its group";
    Key(VK_LEFT);
    EXPECT_TRUE(chrome->folded);
    Key(VK_LEFT);
    EXPECT_EQ(Selected(), "Applications (Select All)");
    list->SetCurSel(1);
    Key(VK_RIGHT);
    EXPECT_FALSE(chrome->folded);
    Key(VK_RIGHT);
    EXPECT_EQ(list->View().SelectedIndex(), 2);
    list->SetCurSel(4);
    EXPECT_EQ(list->SetFolded(1, true), 0);
    EXPECT_EQ(list->View().SelectedIndex(), 1);
    EXPECT_EQ(list->SetFolded(5, true), -1) << "an item alone does not fold";
}

TEST_F(GroupedListTest, TypedLettersFindTheNextRowAndUnfoldItsGroup)
{
    list->SetFolded(1, true);
    list->SetFolded(6, true);
    Type("c");
    EXPECT_EQ(Selected(), "Chrome");
    Type("c"); // the same letter again: the next row that starts with it, inside the folded group
    EXPECT_EQ(list->View().SelectedIndex(), 2);
    EXPECT_FALSE(chrome->folded);
    Type("x"); // within a second: "ccx" names no row, so the selection stays
    EXPECT_EQ(list->View().SelectedIndex(), 2);
    list->SetCurSel(5);
    Sleep(1100); // the pause after which typing starts a new name
    Type("coo");
    EXPECT_EQ(list->View().SelectedIndex(), 8)
        << "from the selected row on, past Firefox's Cache, into its folded group";
    EXPECT_FALSE(firefox->folded);
    EXPECT_EQ(list->GetCheck(8), CheckListItem::Unchecked) << "finding ticks nothing";
}

TEST_F(GroupedListTest, FilterShowsRowsWithEveryWordAndTicksOnlyThose)
{
    list->SetCheck(4, CheckListItem::Checked); // Chrome History
    list->SetFolded(6, true);
    list->SetFilterText("COOK");
    EXPECT_TRUE(list->IsFilterShown());
    EXPECT_EQ(ShownTexts(*list), (std::vector<std::string>{"Applications (Select All)", "Chrome", "Cookies",
                                                           "Firefox", "Cookies"}))
        << "a folded group shows what the filter finds in it";
    list->SetFilterText("fire cook");
    EXPECT_EQ(ShownTexts(*list),
              (std::vector<std::string>{"Applications (Select All)", "Firefox", "Cookies"}))
        << "a group's name counts for the rows below it";
    list->SetFilterText("cook");
    ClickBox(0, 1); // "(Select All)" while filtered: the shown rows only, unticked first as it is middle
    EXPECT_EQ(list->GetCheck(4), CheckListItem::Checked);
    ClickBox(0, 1);
    EXPECT_EQ(list->GetCheck(3), CheckListItem::Checked);
    EXPECT_EQ(list->GetCheck(8), CheckListItem::Checked);
    for (int hidden : {2, 5, 7})
        EXPECT_EQ(list->GetCheck(hidden), CheckListItem::Unchecked) << hidden;
    EXPECT_EQ(list->GetCheck(4), CheckListItem::Checked) << "a hidden tick stays";
    EXPECT_EQ(list->GetCheck(0), CheckListItem::Middle);

    list->SetFilterText("nothing like it");
    EXPECT_TRUE(ShownTexts(*list).empty());
    HWND field = GetFocus();
    ASSERT_NE(field, View());
    SendMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(list->IsFilterShown());
    EXPECT_EQ(GetFocus(), View());
    EXPECT_EQ(ShownTexts(*list).size(), 7u) << "everything again, Firefox folded as it was";
    EXPECT_TRUE(firefox->folded);
}

TEST_F(GroupedListTest, TooltipsShowTheDescriptionThenTheWarning)
{
    CheckListItem* cache = chrome->children[0].get();
    cache->description = "The disk cache of Chrome.";
    EXPECT_EQ(list->View().TipText(*cache), "The disk cache of Chrome.");
    cache->warning = "Pages load more slowly.";
    EXPECT_EQ(list->View().TipText(*cache), "The disk cache of Chrome.\nPages load more slowly.");
    chrome->description = "Ticks or unticks every Chrome item.";
    EXPECT_EQ(list->View().TipText(*chrome), chrome->description);
}

TEST_F(GroupedListTest, TakingTheFocusSelectsTheFirstRowInView)
{
    EXPECT_EQ(list->View().SelectedIndex(), -1);
    SetFocus(View());
    EXPECT_EQ(list->View().SelectedIndex(), 0);
    list->SetCurSel(6);
    SetFocus(host.GetHwnd());
    SetFocus(View());
    EXPECT_EQ(list->View().SelectedIndex(), 6) << "a selected row stays the focused one";
}

// High contrast: the boxes, the fold sign, the selection and the focus in system colours only, a box in the
// text colour instead of its bitmap, a locked one greyed; the bitmaps come back when it goes.
TEST_F(CheckListTest, HighContrastPaintsOnlySystemColoursAndTheSkinComesBack)
{
    MakeList(222, 120);
    CheckListItem* top = Add("All", nullptr, CheckListItem::Unchecked);
    CheckListItem* group = Add("Group", top, CheckListItem::Unchecked);
    group->foldable = true;
    Add("item 1", group, CheckListItem::Checked);
    Add("item 2", group, CheckListItem::Unchecked);
    Add("Locked", top, CheckListItem::Checked)->locked = true;
    list->UpdateParentStates();
    list->SetCurSel(1);
    SetHighContrast(true);
    auto plain = Render();
    SetHighContrast(false);
    auto skinned = Render();

    EXPECT_EQ(plain->CountNonSystemPixels(plain->Rect()), 0);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    GdiObject<HBITMAP> middle = LoadSkinBitmap(IDB_CHECK_MIXED);
    EXPECT_FALSE(plain->ShowsBitmap(5, kFirstRow, middle.get()));
    EXPECT_GT(plain->CountPixels(RECT{5, kFirstRow, 18, kFirstRow + 13}, text), 20);
    // The group's fold sign, left of its box on the second row.
    EXPECT_GT(plain->CountPixels(RECT{5, kFirstRow + kRow, kLevel2Box, kFirstRow + 2 * kRow}, text), 10);
    EXPECT_GT(
        plain->CountPixels(RECT{kLevel2Box, kFirstRow + 4 * kRow, kLevel2Box + 13, kFirstRow + 5 * kRow},
                           GetSysColor(COLOR_GRAYTEXT)),
        10);
    EXPECT_GT(plain->CountPixels(plain->Rect(), GetSysColor(COLOR_HIGHLIGHT)), 50);
    EXPECT_TRUE(skinned->ShowsBitmap(5, kFirstRow, middle.get()));
}
