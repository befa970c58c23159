// Shows every skinned control in every state on one window, for looking at the skin and for the screenshot
// in docs/images/controls.png (tools/gallery-screenshot.sh). The window's title becomes "Vestrel controls"
// once everything is in place, the cursor on "Erase Now" included.
//
// Left and middle: the main window's first page and the erase progress dialog, built from live controls at
// the places those windows use. Right: check lists and progress bars in their other states. Below: every
// face of the skinned buttons, each drawn by the button's own painting for that state, since only one
// button at a time can be under the real cursor.
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "framework/Window.h"
#include "resource.h"
#include "ui/CCheckListCtrl.h"
#include "ui/CPercentProgressCtrl.h"
#include "ui/CSkinButton.h"
#include "ui/SkinDrawing.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char kClassName[] = "VestrelGallery";
const char kTitle[] = "Vestrel controls";
constexpr int kWidth = 1240;
constexpr int kHeight = 884;
constexpr COLORREF kBody = kSkinBodyColour;
constexpr COLORREF kInk = kSkinInkColour;
constexpr COLORREF kMuted = RGB(0x5A, 0x6B, 0x80);
constexpr COLORREF kNavy = kSkinBandColour;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

constexpr POINT kMainOrigin{20, 44};
constexpr POINT kProgressOrigin{410, 44};
constexpr POINT kStatesOrigin{800, 44};
constexpr POINT kFacesOrigin{20, 526};

CSkinButton::Face Captioned(const char* caption)
{
    CSkinButton::Face face;
    face.caption = caption;
    return face;
}

struct Label {
    std::string text;
    POINT at;
    COLORREF colour;
    bool heading;
};

// One face of the matrix: a skinned button that is never shown, painted for one state.
struct FaceCell {
    std::shared_ptr<CSkinButton> button;
    CSkinButton::Face face;
    RECT rect;
};

POINT Offset(POINT origin, int x, int y)
{
    return POINT{origin.x + x, origin.y + y};
}

RECT At(POINT origin, int x, int y, int width, int height)
{
    return RECT{origin.x + x, origin.y + y, origin.x + x + width, origin.y + y + height};
}

class Gallery : public Window {
public:
    bool Open();
    // Moves the real cursor onto the main page's "Erase Now", which then shows its hover face.
    void HoverEraseNow();

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    void BuildMainPage();
    void BuildProgressDialog();
    void BuildListStates();
    void BuildBars();
    void BuildFaces();
    void AddFaceRow(int row, const std::string& name, UINT normal, UINT pressed, UINT disabled, SIZE size,
                    const std::string& caption);
    void AddFace(const std::shared_ptr<CSkinButton>& button, const RECT& rect, CSkinButton::Face face);

    CSkinButton& AddButton(const RECT& rect, const std::string& caption, DWORD style, UINT normal,
                           UINT pressed, const std::string& tip);
    CCheckListCtrl& AddList(const RECT& rect, UINT check, UINT uncheck, UINT middle);
    CPercentProgressCtrl& AddBar(const RECT& rect, DWORD style, int upper, int pos, bool percent);
    void AddLabel(const std::string& text, POINT at, COLORREF colour = kMuted, bool heading = false);

    void PaintBackdrops(HDC dc) const;
    void PaintLabels(HDC dc) const;
    void PaintFaces(HDC dc) const;

    GdiObject<HFONT> headingFont_;
    GdiObject<HFONT> labelFont_;
    GdiObject<HFONT> skinFont_;
    GdiObject<HFONT> dialogFont_;
    GdiObject<HBITMAP> mainBackground_;
    GdiObject<HBITMAP> progressBackground_;
    std::vector<std::unique_ptr<CSkinButton>> buttons_;
    std::vector<std::unique_ptr<CCheckListCtrl>> lists_;
    std::vector<std::unique_ptr<CPercentProgressCtrl>> bars_;
    std::vector<Label> labels_;
    std::vector<FaceCell> faces_;
    CSkinButton* eraseNow_ = nullptr;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Gallery, Window)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
END_MESSAGE_MAP()

bool Gallery::Open()
{
    headingFont_.reset(CreateFontW(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                   L"TAHOMA"));
    labelFont_ = CreateSkinFont(13);
    skinFont_ = CreateSkinFont(14);
    // What the dialog templates give their buttons: 8 points of the shell dialog font.
    dialogFont_.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                  L"MS Shell Dlg"));
    mainBackground_ = LoadSkinBitmap(IDB_MAIN_BACKGROUND);
    progressBackground_ = LoadSkinBitmap(IDB_PROGRESS_BACKGROUND);

    static GdiObject<HBRUSH> body(CreateSolidBrush(kBody));
    if (!RegisterWindowClass(kClassName, 0, LoadCursorW(nullptr, IDC_ARROW), body.get()))
        return false;
    body.release();
    RECT frame{0, 0, kWidth, kHeight};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    AdjustWindowRect(&frame, style, FALSE);
    RECT place{10, 10, 10 + frame.right - frame.left, 10 + frame.bottom - frame.top};
    if (!Create(kClassName, std::string(kTitle) + " (starting)", style, place, nullptr, 0))
        return false;

    BuildMainPage();
    BuildProgressDialog();
    BuildListStates();
    BuildBars();
    BuildFaces();
    ShowWindow(GetHwnd(), SW_SHOWNORMAL);
    UpdateWindow(GetHwnd());
    return true;
}

void Gallery::HoverEraseNow()
{
    RECT rect{};
    GetWindowRect(eraseNow_->GetHwnd(), &rect);
    SetCursorPos((rect.left + rect.right) / 2 + 20, (rect.top + rect.bottom) / 2);
    SendMessageW(eraseNow_->GetHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(62, 12));
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
}

LRESULT Gallery::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    PaintBackdrops(paint.get());
    PaintLabels(paint.get());
    PaintFaces(paint.get());
    return 0;
}

LRESULT Gallery::OnDestroy(WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 0;
}

// The main window as it opens on its first page: the Internet Explorer tab is the current page (disabled).
void Gallery::BuildMainPage()
{
    const POINT o = kMainOrigin;
    AddLabel("Main window, first page", Offset(o, 0, -24), kInk, true);
    // "Erase Now" is hovered for the picture and has no tooltip: Wine under Xvfb draws tooltips black.
    const struct {
        int x, y;
        const char* caption;
        const char* tip;
    } actions[] = {
        {17, 112, "&Erase Now", ""},
        {17, 147, "&Option", "Erase Option"},
        {17, 182, "&Schedule", "Erase Schedule"},
        {17, 217, "Set &Default", "Default Erase Items"},
        {17, 252, "&Plugin", "Download PlugIns"},
        {11, 412, "&help", "Erase Help"},
        {98, 412, "&About", ""},
        {185, 412, "&Close", "Close it"},
        {272, 412, "H&ide", "Minimize It"},
    };
    for (const auto& action : actions) {
        CSkinButton& button = AddButton(At(o, action.x, action.y, 84, 25), action.caption, BS_PUSHBUTTON,
                                        IDB_BUTTON, IDB_BUTTON_HOVER, action.tip);
        if (!eraseNow_)
            eraseNow_ = &button;
    }
    CSkinButton& ie = AddButton(At(o, 111, 52, 76, 33), "", BS_PUSHBUTTON, IDB_TAB_IE, IDB_TAB_IE_SELECTED,
                                "Internet Explorer");
    ie.SetSkin(IDB_TAB_IE, IDB_TAB_IE_SELECTED, IDB_TAB_IE_SELECTED, IDB_TAB_IE_SELECTED);
    EnableWindow(ie.GetHwnd(), FALSE);
    AddButton(At(o, 191, 52, 76, 33), "", BS_PUSHBUTTON, IDB_TAB_WINDOWS, IDB_TAB_WINDOWS_SELECTED, "Windows")
        .SetSkin(IDB_TAB_WINDOWS, IDB_TAB_WINDOWS_SELECTED, IDB_TAB_WINDOWS_SELECTED,
                 IDB_TAB_WINDOWS_SELECTED);
    AddButton(At(o, 271, 52, 76, 33), "", BS_PUSHBUTTON, IDB_TAB_APPLICATIONS, IDB_TAB_APPLICATIONS_SELECTED,
              "Applications")
        .SetSkin(IDB_TAB_APPLICATIONS, IDB_TAB_APPLICATIONS_SELECTED, IDB_TAB_APPLICATIONS_SELECTED,
                 IDB_TAB_APPLICATIONS_SELECTED);
    AddButton(At(o, 5, 285, 109, 71), "", BS_PUSHBUTTON, IDB_LOGO, IDB_LOGO_HOVER, "Website");
    AddButton(At(o, 311, 12, 20, 20), "", BS_PUSHBUTTON, IDB_TITLE_MINIMIZE, IDB_TITLE_MINIMIZE_HOVER,
              "Minimize");
    AddButton(At(o, 329, 12, 20, 20), "", BS_PUSHBUTTON, IDB_TITLE_CLOSE, IDB_TITLE_CLOSE_HOVER, "Close it");

    CCheckListCtrl& list =
        AddList(At(o, 116, 94, 222, 260), IDB_CHECK_CHECKED, IDB_CHECK_UNCHECKED, IDB_CHECK_MIXED);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    CheckListItem* group =
        list.AddItem("Internet Explorer (Select All)", nullptr, 2, 0, kBlack, highlightText, highlight);
    const struct {
        const char* name;
        int state;
    } items[] = {{"Temporary Internet Files", 1},
                 {"Cookies", 1},
                 {"History", 0},
                 {"Address Bar History", 1},
                 {"AutoComplete Forms", 0},
                 {"Index.dat Files", 1},
                 {"Typed URLs", 1},
                 {"Download History", 0}};
    for (const auto& item : items)
        list.AddItem(item.name, group, item.state, 0, kBlack, highlightText, highlight);
    list.SetCurSel(2);

    AddLabel("Last Erased: 14:32, Mar/08/26; Registry Keys Erased: 1284", Offset(o, 23, 364), kBlack);
    AddLabel("Files Erased: 48211;  Released HD Space: 812 MB; ", Offset(o, 23, 379), kBlack);
}

// The erase progress dialog part way through a run: ticked rows, the bar without its percentage.
void Gallery::BuildProgressDialog()
{
    const POINT o = kProgressOrigin;
    AddLabel("Erase progress dialog, during a run", Offset(o, 0, -24), kInk, true);
    CCheckListCtrl& list = AddList(At(o, 46, 84, 274, 234), IDB_PROGRESS_CHECK_DONE,
                                   IDB_PROGRESS_CHECK_PENDING, IDB_PROGRESS_CHECK_PENDING);
    const char* names[] = {"Temporary Internet Files",
                           "Cookies",
                           "History",
                           "Address Bar History",
                           "Recent Documents",
                           "Temporary Folder",
                           "Recycle Bin",
                           "Run History",
                           "Network Shortcuts",
                           "Media Player Recent List"};
    for (const char* name : names)
        list.AddItem(name, nullptr, 0, 0, kBlack, GetSysColor(COLOR_HIGHLIGHTTEXT),
                     GetSysColor(COLOR_HIGHLIGHT));
    list.SetToggleEnabled(false);
    for (int row = 0; row < 4; ++row)
        list.SetCheck(row, 1);
    AddBar(At(o, 30, 331, 311, 10), 0, 10, 4, false);
    AddButton(At(o, 112, 410, 84, 25), "Erase", BS_PUSHBUTTON, IDB_BUTTON, IDB_BUTTON_HOVER,
              "Start Erase Now");
    AddButton(At(o, 230, 410, 84, 25), "Cancel", BS_PUSHBUTTON, IDB_BUTTON, IDB_BUTTON_HOVER, "Cancel");
    AddLabel("Status: Ready;  To Release: 24.0 KB", Offset(o, 35, 350), kBlack);
    AddLabel("Files to Erase: 12, Registry Keys to Erase: 0", Offset(o, 35, 370), kBlack);
}

void Gallery::BuildListStates()
{
    const POINT o = kStatesOrigin;
    AddLabel("Check list: three levels, long names cut with an ellipsis", Offset(o, 0, -24), kInk, true);
    CCheckListCtrl& list =
        AddList(At(o, 0, 0, 260, 150), IDB_CHECK_CHECKED, IDB_CHECK_UNCHECKED, IDB_CHECK_MIXED);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    CheckListItem* windows =
        list.AddItem("Windows (Select All)", nullptr, 0, 0, kBlack, highlightText, highlight);
    const char* names[] = {"Recent Documents", "Temporary Folder", "Recycle Bin", "Run History"};
    for (const char* name : names)
        list.AddItem(name, windows, 1, 0, kBlack, highlightText, highlight);
    CheckListItem* shortcuts =
        list.AddItem("Network Shortcuts", windows, 0, 0, kBlack, highlightText, highlight);
    list.AddItem("Printer shortcuts of every user on this computer", shortcuts, 1, 0, kBlack, highlightText,
                 highlight);
    list.AddItem("Mapped drives", shortcuts, 0, 0, kBlack, highlightText, highlight);
    list.AddItem("Clipboard", windows, 1, 0, kBlack, highlightText, highlight);
    list.SetCheck(6, 0); // updates the ancestors from the children
    list.SetCurSel(6);
    HWND view = list.View().GetHwnd();
    SendMessageW(view, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
    SendMessageW(view, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 24), 0);

    AddLabel("Read-only list (progress marks), nothing ticked yet", Offset(o, 0, 166), kInk, true);
    CCheckListCtrl& pending = AddList(At(o, 0, 190, 260, 71), IDB_PROGRESS_CHECK_DONE,
                                      IDB_PROGRESS_CHECK_PENDING, IDB_PROGRESS_CHECK_PENDING);
    for (const char* name : {"Temporary Internet Files", "Cookies", "History"})
        pending.AddItem(name, nullptr, 0, 0, kBlack, highlightText, highlight);
    pending.SetToggleEnabled(false);
}

void Gallery::BuildBars()
{
    const POINT o = Offset(kStatesOrigin, 0, 286);
    AddLabel("Percent progress bar", Offset(o, 0, -4), kInk, true);
    const struct {
        const char* label;
        int pos;
        int height;
        bool percent;
    } bars[] = {{"at the lower bound", 0, 18, true},
                {"a quarter", 2, 18, true},
                {"full", 8, 18, true},
                {"five eighths, no percentage", 5, 10, false},
                {"full, 3 pixels high", 8, 3, false}};
    int y = 20;
    for (const auto& bar : bars) {
        AddLabel(bar.label, Offset(o, 0, y));
        AddBar(At(o, 0, y + 16, 300, bar.height), 0, 8, bar.pos, bar.percent);
        y += 22 + bar.height;
    }
    AddLabel("vertical", Offset(o, 330, 20));
    for (int i = 0; i < 3; ++i)
        AddBar(At(o, 330 + i * 30, 40, 16, 120), PBS_VERTICAL, 4, i * 2, false);
}

// Columns: normal, hover, pressed (or checked), disabled, and for some rows focus.
void Gallery::BuildFaces()
{
    const POINT o = kFacesOrigin;
    AddLabel("Skinned button faces in every state (normal, hover, pressed or checked, disabled)",
             Offset(o, 0, -20), kInk, true);
    const char* columns[] = {"normal", "hover", "pressed / checked", "disabled"};
    for (int i = 0; i < 4; ++i)
        AddLabel(columns[i], Offset(o, 170 + i * 140, 2));
    AddFaceRow(0, "push button (151, 152)", IDB_BUTTON, IDB_BUTTON_HOVER, 0, SIZE{84, 25}, "Erase Now");
    AddFaceRow(1, "Internet Explorer tab (148, 147)", IDB_TAB_IE, IDB_TAB_IE_SELECTED, IDB_TAB_IE_SELECTED,
               SIZE{76, 33}, "");
    AddFaceRow(2, "Windows tab (150, 145)", IDB_TAB_WINDOWS, IDB_TAB_WINDOWS_SELECTED,
               IDB_TAB_WINDOWS_SELECTED, SIZE{76, 33}, "");
    AddFaceRow(3, "Applications tab (146, 149)", IDB_TAB_APPLICATIONS, IDB_TAB_APPLICATIONS_SELECTED,
               IDB_TAB_APPLICATIONS_SELECTED, SIZE{76, 33}, "");
    AddFaceRow(4, "title-bar minimise (170, 167)", IDB_TITLE_MINIMIZE, IDB_TITLE_MINIMIZE_HOVER, 0,
               SIZE{20, 20}, "");
    AddFaceRow(5, "title-bar close (168, 169)", IDB_TITLE_CLOSE, IDB_TITLE_CLOSE_HOVER, 0, SIZE{20, 20}, "");
    AddFaceRow(6, "no bitmaps: face colour", 0, 0, 0, SIZE{84, 25}, "Plain");

    // The other drawing modes, none of which the program's own windows use.
    const POINT m = Offset(o, 740, 0);
    AddLabel("logo (159, 158): normal, hover", Offset(m, 0, 2));
    auto logo = std::make_shared<CSkinButton>();
    logo->SetSkin(IDB_LOGO, IDB_LOGO_HOVER, IDB_LOGO_HOVER);
    AddFace(logo, At(m, 0, 22, 109, 71), CSkinButton::Face{});
    CSkinButton::Face hovering;
    hovering.hovering = true;
    AddFace(logo, At(m, 124, 22, 109, 71), hovering);

    AddLabel("3-D border, focus margin 4: normal, focused, pressed", Offset(m, 0, 106));
    auto bordered = std::make_shared<CSkinButton>();
    bordered->SetSkin(0, 0, 0, 0, 0, 0, 0, 1, 4);
    CSkinButton::Face face;
    face.caption = "Border";
    AddFace(bordered, At(m, 0, 126, 110, 30), face);
    face.focused = true;
    AddFace(bordered, At(m, 124, 126, 110, 30), face);
    face.pressed = true;
    AddFace(bordered, At(m, 248, 126, 110, 30), face);

    AddLabel("stretched (mode 1), tiled (mode 2), masked (180)", Offset(m, 0, 172));
    auto stretched = std::make_shared<CSkinButton>();
    stretched->SetSkin(IDB_BUTTON_HOVER, 0, 0, 0, 0, 0, 1);
    AddFace(stretched, At(m, 0, 192, 130, 34), Captioned("Stretched"));
    auto tiled = std::make_shared<CSkinButton>();
    tiled->SetSkin(IDB_TAB_WINDOWS, 0, 0, 0, 0, 0, 2);
    AddFace(tiled, At(m, 144, 192, 190, 33), CSkinButton::Face{});
    auto masked = std::make_shared<CSkinButton>();
    masked->SetSkin(IDB_BUTTON_HOVER, 0, 0, 0, 0, IDB_BUTTON_MASK, 0);
    AddFace(masked, At(m, 356, 196, 84, 25), Captioned("Masked"));

    AddLabel("check-box and radio kinds (live)", Offset(m, 0, 246));
    CSkinButton& check = AddButton(At(m, 0, 266, 84, 25), "Express", BS_AUTOCHECKBOX, IDB_BUTTON,
                                   IDB_BUTTON_HOVER, "Check box");
    SendMessageW(check.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    const char* radios[] = {"Hour", "Day", "Week"};
    for (int i = 0; i < 3; ++i) {
        DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        CSkinButton& radio = AddButton(At(m, 100 + i * 90, 266, 84, 25), radios[i], style, IDB_BUTTON,
                                       IDB_BUTTON_HOVER, "Radio");
        if (i == 1)
            SendMessageW(radio.GetHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    }
}

// Normal, hover, pressed and disabled faces of one button, in that order from x = 170.
void Gallery::AddFaceRow(int row, const std::string& name, UINT normal, UINT pressed, UINT disabled,
                         SIZE size, const std::string& caption)
{
    const POINT o = kFacesOrigin;
    const int top = 24 + row * 48;
    AddLabel(name, Offset(o, 0, top + size.cy / 2 - 8));
    auto button = std::make_shared<CSkinButton>();
    button->SetSkin(normal, pressed, pressed, disabled);
    for (int column = 0; column < 4; ++column) {
        CSkinButton::Face face;
        face.caption = caption;
        face.hovering = column == 1;
        face.pressed = column == 2;
        face.disabled = column == 3;
        AddFace(button, At(o, 170 + column * 140, top, size.cx, size.cy), face);
    }
}

void Gallery::AddFace(const std::shared_ptr<CSkinButton>& button, const RECT& rect, CSkinButton::Face face)
{
    faces_.push_back(FaceCell{button, std::move(face), rect});
}

CSkinButton& Gallery::AddButton(const RECT& rect, const std::string& caption, DWORD style, UINT normal,
                                UINT pressed, const std::string& tip)
{
    HWND hwnd = CreateWindowExW(0, L"BUTTON", ToWide(caption).c_str(), WS_CHILD | WS_VISIBLE | style,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                GetHwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
    buttons_.push_back(std::make_unique<CSkinButton>());
    CSkinButton& button = *buttons_.back();
    button.Subclass(hwnd);
    if (!tip.empty())
        button.SetToolTipText(tip);
    button.SetSkin(normal, pressed, pressed);
    return button;
}

CCheckListCtrl& Gallery::AddList(const RECT& rect, UINT check, UINT uncheck, UINT middle)
{
    lists_.push_back(std::make_unique<CCheckListCtrl>());
    lists_.back()->Create(rect, GetHwnd(), 10001, check, uncheck, middle, kWhite);
    return *lists_.back();
}

CPercentProgressCtrl& Gallery::AddBar(const RECT& rect, DWORD style, int upper, int pos, bool percent)
{
    HWND hwnd = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, GetHwnd(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(skinFont_.get()), FALSE);
    bars_.push_back(std::make_unique<CPercentProgressCtrl>());
    CPercentProgressCtrl& bar = *bars_.back();
    bar.Subclass(hwnd);
    bar.SetRange(0, upper);
    bar.SetPos(pos);
    bar.ShowPercent(percent);
    return bar;
}

void Gallery::AddLabel(const std::string& text, POINT at, COLORREF colour, bool heading)
{
    labels_.push_back(Label{text, at, colour, heading});
}

void Gallery::PaintBackdrops(HDC dc) const
{
    DrawBitmapAt(dc, mainBackground_.get(), kMainOrigin.x, kMainOrigin.y);
    DrawBitmapAt(dc, progressBackground_.get(), kProgressOrigin.x, kProgressOrigin.y);
    // The masked face sits on the skin's navy, where its cut corners show.
    RECT navy = At(kFacesOrigin, 740 + 346, 188, 104, 41);
    GdiObject<HBRUSH> brush(CreateSolidBrush(kNavy));
    FillRect(dc, &navy, brush.get());
}

void Gallery::PaintLabels(HDC dc) const
{
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (const Label& label : labels_) {
        // Texts inside the skinned windows use the skins' own font, as those windows do.
        bool onSkin = label.colour == kBlack;
        SelectedObject font(dc, label.heading ? headingFont_.get()
                                : onSkin      ? skinFont_.get()
                                              : labelFont_.get());
        SetTextColor(dc, label.colour);
        std::wstring text = ToWide(label.text);
        TextOutW(dc, label.at.x, label.at.y, text.c_str(), static_cast<int>(text.size()));
    }
    SetBkMode(dc, oldMode);
}

void Gallery::PaintFaces(HDC dc) const
{
    SelectedObject font(dc, dialogFont_.get());
    for (const FaceCell& cell : faces_)
        cell.button->Paint(dc, cell.rect, cell.face);
}

} // namespace

int wmain()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    Gallery gallery;
    if (!gallery.Open())
        return 1;
    gallery.HoverEraseNow();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
