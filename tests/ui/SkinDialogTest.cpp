#include "UiTesting.h"

#include "resource.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "ui/CSkinFormDialog.h"
#include "ui/CTextPanel.h"
#include "ui/SkinDrawing.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr UINT kRunTest = WM_APP + 7;
constexpr UINT_PTR kDeadlineTimer = 1;
constexpr int kButtonId = 1;
constexpr INT_PTR kTimedOut = -2;

// A borderless pop-up of 150 x 120 dialog units with one push button, as the skinned dialogs are made.
class PopupTemplate {
public:
    PopupTemplate()
    {
        DLGTEMPLATE header{WS_POPUP | WS_VISIBLE, 0, 1, 10, 10, 150, 120};
        Append(&header, sizeof(header));
        words_.insert(words_.end(), {0, 0, 0}); // no menu, standard class, no title
        if (words_.size() % 2)
            words_.push_back(0);
        DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 60, 95, 56, 15, kButtonId};
        Append(&item, sizeof(item));
        words_.insert(words_.end(), {0xFFFF, 0x0080}); // the button class
        for (const wchar_t* c = L"Close"; *c; ++c)
            words_.push_back(*c);
        words_.insert(words_.end(), {0, 0}); // end of text, no creation data
    }

    const DLGTEMPLATE& Get() const { return *reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Append(const void* data, size_t size)
    {
        size_t start = words_.size();
        words_.resize(start + size / sizeof(WORD));
        std::memcpy(words_.data() + start, data, size);
    }

    std::vector<WORD> words_;
};

// Runs the test body inside the dialog's own message loop, then ends; a stuck test ends by the timer.
class TestDialog : public CSkinDialog {
public:
    TestDialog(const DLGTEMPLATE& dialogTemplate, UINT background, std::function<void(TestDialog&)> body)
        : CSkinDialog(dialogTemplate, background), body_(std::move(body))
    {
    }

    int captionPresses = 0;
    CSkinButton button;

    using CSkinDialog::SizeToBackground;

private:
    bool OnInitDialog() override
    {
        CSkinDialog::OnInitDialog();
        AttachItem(kButtonId, button);
        button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
        SetTimer(GetHwnd(), kDeadlineTimer, 10000, nullptr);
        PostMessageW(GetHwnd(), kRunTest, 0, 0);
        return true;
    }
    LRESULT OnRunTest(WPARAM, LPARAM)
    {
        body_(*this);
        EndDialog(IDOK);
        return 0;
    }
    LRESULT OnTimer(WPARAM, LPARAM)
    {
        EndDialog(kTimedOut);
        return 0;
    }
    // Counted and swallowed: the system would start moving the window with the real mouse.
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM)
    {
        captionPresses += wParam == HTCAPTION;
        return 0;
    }

    std::function<void(TestDialog&)> body_;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CSkinDialog)
    ON_MESSAGE(kRunTest, OnRunTest)
    ON_MESSAGE(WM_TIMER, OnTimer)
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
END_MESSAGE_MAP()

std::unique_ptr<Canvas> EraseInto(HWND dialog)
{
    RECT client{};
    GetClientRect(dialog, &client);
    auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
    SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas->dc()), 0);
    return canvas;
}

TEST(SkinDialog, TakesItsBackgroundsSizeAndPaintsItAsTheBackground)
{
    PopupTemplate popup;
    TestDialog dialog(popup.Get(), IDB_CLOSE_PROMPT_BACKGROUND, [](TestDialog& self) {
        self.SizeToBackground();
        RECT window{};
        GetWindowRect(self.GetHwnd(), &window);
        EXPECT_EQ(window.right - window.left, 300);
        EXPECT_EQ(window.bottom - window.top, 240);
        auto canvas = EraseInto(self.GetHwnd());
        EXPECT_TRUE(canvas->ShowsBitmap(0, 0, self.Background()));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(SkinDialog, WithoutItsBitmapShowsTheStandardBackground)
{
    PopupTemplate popup;
    TestDialog dialog(popup.Get(), 9999, [](TestDialog& self) {
        EXPECT_EQ(self.Background(), nullptr);
        RECT before{};
        GetWindowRect(self.GetHwnd(), &before);
        self.SizeToBackground();
        RECT after{};
        GetWindowRect(self.GetHwnd(), &after);
        EXPECT_TRUE(EqualRect(&before, &after));
        auto canvas = EraseInto(self.GetHwnd());
        EXPECT_EQ(canvas->Pixel(5, 5), GetSysColor(COLOR_BTNFACE));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(SkinDialog, PressOnTheSurfaceDragsButPressOnAButtonDoesNot)
{
    PopupTemplate popup;
    TestDialog dialog(popup.Get(), IDB_RESULT_BACKGROUND, [](TestDialog& self) {
        SendMessageW(self.button.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(5, 5));
        SendMessageW(self.button.GetHwnd(), WM_LBUTTONUP, 0, ClientPoint(-50, -50));
        PumpPending();
        EXPECT_EQ(self.captionPresses, 0);
        SendMessageW(self.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(20, 30));
        EXPECT_TRUE(PumpUntil([&] { return self.captionPresses == 1; }));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(SkinFormDialog, PaintsTheBandWithItsTitleTheBodyTheLineOverTheButtonsAndAnEdge)
{
    Canvas canvas(200, 120);
    GdiObject<HFONT> font = CreateSkinFont(17);
    CSkinFormDialog::Paint(canvas.dc(), canvas.Rect(), {40, 90, nullptr, 20, font.get(), "Options"});
    EXPECT_EQ(canvas.Pixel(195, 20), kSkinBandColour);
    EXPECT_LT(canvas.CountPixels(RECT{52, 0, 188, 40}, kSkinBandColour), 136 * 40) << "the title is written";
    EXPECT_EQ(canvas.Pixel(100, 60), kSkinBodyColour);
    EXPECT_EQ(canvas.Pixel(100, 90), kSkinBodyLineColour);
    EXPECT_EQ(canvas.Pixel(100, 91), kSkinBodyColour);
    EXPECT_EQ(canvas.Pixel(0, 60), kSkinEdgeColour);
    EXPECT_EQ(canvas.Pixel(199, 119), kSkinEdgeColour);
}

TEST(SkinDrawing, RegionFromMaskHoldsExactlyTheOpaquePixels)
{
    // The pending mark is a ring: white outside and inside.
    GdiObject<HBITMAP> ring = LoadSkinBitmap(IDB_PROGRESS_CHECK_PENDING);
    GdiObject<HRGN> region = RegionFromMask(ring.get(), RGB(255, 255, 255));
    ASSERT_TRUE(region);
    int opaque = 0;
    int mismatches = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x) {
            bool solid = Canvas::BitmapPixel(ring.get(), x, y) != RGB(255, 255, 255);
            opaque += solid;
            mismatches += solid != (PtInRegion(region.get(), x, y) != FALSE);
        }
    EXPECT_GT(opaque, 20);
    EXPECT_EQ(mismatches, 0);
    EXPECT_FALSE(PtInRegion(region.get(), 7, 7));

    // Against another transparent colour every white pixel is solid.
    GdiObject<HRGN> whole = RegionFromMask(ring.get(), RGB(1, 2, 3));
    RECT box{};
    EXPECT_EQ(GetRgnBox(whole.get(), &box), SIMPLEREGION);
    EXPECT_TRUE(EqualRect(&box, std::data({RECT{0, 0, 15, 15}})));
}

TEST(SkinDrawing, BitmapsLoadAtTheirNaturalSize)
{
    GdiObject<HBITMAP> background = LoadSkinBitmap(IDB_MAIN_BACKGROUND);
    SIZE size = BitmapSize(background.get());
    EXPECT_EQ(size.cx, 370);
    EXPECT_EQ(size.cy, 450);
    EXPECT_FALSE(LoadSkinBitmap(9999));
    EXPECT_EQ(BitmapSize(nullptr).cx, 0);
    Canvas canvas(10, 10);
    EXPECT_FALSE(DrawBitmapAt(canvas.dc(), nullptr, 0, 0));
}

TEST(SkinDrawing, SkinFontIsTahomaOfTheGivenHeight)
{
    GdiObject<HFONT> font = CreateSkinFont(14);
    LOGFONTW logFont{};
    ASSERT_TRUE(GetObjectW(font.get(), sizeof(logFont), &logFont));
    EXPECT_EQ(logFont.lfHeight, 14);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(logFont.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(logFont.lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(logFont.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
    EXPECT_STREQ(logFont.lfFaceName, L"TAHOMA");
}

// The rows that hold anything but the ground colour.
std::vector<int> DrawnRows(const Canvas& canvas, COLORREF ground)
{
    std::vector<int> rows;
    RECT all = canvas.Rect();
    for (int y = all.top; y < all.bottom; ++y) {
        if (canvas.CountPixels(RECT{all.left, y, all.right, y + 1}, ground) < all.right)
            rows.push_back(y);
    }
    return rows;
}

TEST(SkinDrawing, TextLinesGoDownByTheirStepOverTheBackgroundAndLeaveTheDcAsItWas)
{
    const COLORREF ground = RGB(255, 0, 255);
    Canvas canvas(300, 120, ground);
    GdiObject<HFONT> font = CreateSkinFont(14);
    HGDIOBJ fontBefore = GetCurrentObject(canvas.dc(), OBJ_FONT);
    SetBkMode(canvas.dc(), OPAQUE);
    SetTextColor(canvas.dc(), RGB(1, 2, 3));

    DrawTextLines(canvas.dc(), {font.get(), RGB(0, 0, 255), {20, 30}, 40}, {"Files Erased: 12;", "", "Last"});

    std::vector<int> rows = DrawnRows(canvas, ground);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 30);
    EXPECT_LT(rows.back(), 30 + 2 * 40 + 14) << "the third line is two steps down";
    EXPECT_GE(rows.back(), 30 + 2 * 40);
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](int y) { return y >= 30 + 14 && y < 30 + 80; }))
        << "the empty second line";
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 20, 120}, ground), 20 * 120) << "nothing left of the lines";
    EXPECT_EQ(canvas.CountPixels(canvas.Rect(), RGB(255, 255, 255)), 0) << "no background of their own";
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), fontBefore);
    EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
    EXPECT_EQ(GetTextColor(canvas.dc()), RGB(1, 2, 3));
}

} // namespace

// Text a dialog draws itself reads as static text over it, lets the mouse through and paints nothing.
TEST(TextPanel, ReadsAsStaticTextWhoseNameIsTheTextAndLetsTheMouseThrough)
{
    HostWindow host;
    CTextPanel panel;
    ASSERT_TRUE(panel.Place(host.GetHwnd(), RECT{10, 10, 200, 40}));
    panel.SetText("Last erased: never\nFiles erased: 0");
    void* object = nullptr;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(panel.GetHwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                                        IID_IAccessible, &object));
    ComPtr<IAccessible> accessible(static_cast<IAccessible*>(object));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    ASSERT_HRESULT_SUCCEEDED(accessible->get_accRole(self, &role));
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_STATICTEXT);
    BSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(accessible->get_accName(self, &name));
    EXPECT_EQ(std::wstring(name), L"Last erased: never\nFiles erased: 0");
    SysFreeString(name);
    EXPECT_EQ(SendMessageW(panel.GetHwnd(), WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTTRANSPARENT);
    DestroyWindow(panel.GetHwnd());
    EXPECT_EQ(accessible->get_accRole(self, &role), RPC_E_DISCONNECTED);
}
