#include "app/CMainDialog.h"

#include "app/AutoStart.h"
#include "app/CAboutDialog.h"
#include "app/CClosePromptDialog.h"
#include "app/CEraseProgressDialog.h"
#include "app/CLoaderDialog.h"
#include "app/COptionsDialog.h"
#include "app/CScheduleDialog.h"
#include "app/RulesImportPrompt.h"
#include "app/Shell.h"
#include "app/StatisticsText.h"
#include "engine/cleaners/CookieCleaner.h"
#include "engine/cleaners/FreeSpaceWipe.h"
#include "engine/files/FileSystemEraser.h"
#include "framework/ErrorText.h"
#include "framework/Utf8.h"
#include "import/RulesImport.h"
#include "resource.h"
#include "run/EraseBusy.h"
#include "run/EraseWorker.h"
#include "settings/AppPaths.h"
#include "settings/ConfigSelection.h"
#include "settings/PolicyNames.h"
#include "settings/Schedule.h"
#include "settings/ScheduledTask.h"
#include "settings/Settings.h"
#include "settings/UnfoldedGroups.h"
#include "ui/HighContrast.h"
#include "ui/SkinDrawing.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace {

const int kWindowWidth = 370;
const int kWindowHeight = 450;
const RECT kListRect{116, 94, 338, 354};
const RECT kListArea{116, 86, 338, 346};
const RECT kStatisticsArea{20, 350, 400, 400};
const int kStatisticsRight = 354; // the panel's inner edge in the skin
const int kStatisticsFontHeight = 14;
const POINT kStatisticsOrigin{23, 364};
const POINT kManagedOrigin{117, 340}; // under the lists, which give way to it
const int kManagedFontHeight = 12;    // the line fits the lists' width
const COLORREF kManagedTextColour = RGB(0x40, 0x40, 0x40);
const int kStatisticsLineStep = 15;
const POINT kTitleOrigin{18, 12};
const int kTitleFontHeight = 24;
const UINT kTimerId = 1;
const UINT kTimerPeriod = 300;
const char* const kSelectAllRows[] = {"Internet Explorer (Select All)", "Windows (Select All)",
                                      "Applications (Select All)"};
const char* const kPageTypes[] = {"ie", "windows", "application"};
// What screen readers call the pages' lists and buttons.
const char* const kPageNames[] = {"Internet Explorer", "Windows", "Applications"};
const int kPageButtons[] = {IDC_PAGE_IE, IDC_PAGE_WINDOWS, IDC_PAGE_APPLICATIONS};

} // namespace

struct MainButton {
    int id;
    RECT place; // left, top, width, height
    UINT normal, pressed, hover, disabled;
    const char* toolTip;
};

namespace {

const MainButton kButtons[] = {
    {IDC_ERASE_NOW, {17, 112, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, "Erase Now"},
    {IDC_OPTION, {17, 147, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, "Erase Option"},
    {IDC_SCHEDULE, {17, 182, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, "Erase Schedule"},
    {IDC_SET_DEFAULT,
     {17, 217, 84, 25},
     IDB_BUTTON,
     IDB_BUTTON_HOVER,
     IDB_BUTTON_HOVER,
     0,
     "Default Erase Items"},
    {IDC_PLUGIN,
     {17, 252, 84, 25},
     IDB_BUTTON,
     IDB_BUTTON_HOVER,
     IDB_BUTTON_HOVER,
     0,
     "Plug-in Page and Import"},
    {IDC_HELP_BUTTON, {11, 412, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, "Erase Help"},
    {IDC_ABOUT_BUTTON, {98, 412, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, nullptr},
    {IDOK, {185, 412, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, "Close it"},
    {IDC_HIDE, {272, 412, 84, 25}, IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER, 0, "Minimize It"},
    {IDC_PAGE_IE,
     {111, 52, 76, 33},
     IDB_TAB_IE,
     IDB_TAB_IE_SELECTED,
     IDB_TAB_IE_SELECTED,
     IDB_TAB_IE_SELECTED,
     "Internet Explorer"},
    {IDC_PAGE_WINDOWS,
     {191, 52, 76, 33},
     IDB_TAB_WINDOWS,
     IDB_TAB_WINDOWS_SELECTED,
     IDB_TAB_WINDOWS_SELECTED,
     IDB_TAB_WINDOWS_SELECTED,
     "Windows"},
    {IDC_PAGE_APPLICATIONS,
     {271, 52, 76, 33},
     IDB_TAB_APPLICATIONS,
     IDB_TAB_APPLICATIONS_SELECTED,
     IDB_TAB_APPLICATIONS_SELECTED,
     IDB_TAB_APPLICATIONS_SELECTED,
     "Applications"},
    {IDC_LOGO, {5, 285, 109, 71}, IDB_LOGO, IDB_LOGO_HOVER, IDB_LOGO_HOVER, 0, "Website"},
    {IDC_MINIMIZE,
     {311, 12, 20, 20},
     IDB_TITLE_MINIMIZE,
     IDB_TITLE_MINIMIZE_HOVER,
     IDB_TITLE_MINIMIZE_HOVER,
     0,
     "Minimize"},
    {IDC_TITLE_CLOSE,
     {329, 12, 20, 20},
     IDB_TITLE_CLOSE,
     IDB_TITLE_CLOSE_HOVER,
     IDB_TITLE_CLOSE_HOVER,
     0,
     "Close it"},
};

// A menu entry the organization's policy refuses: greyed, saying why where a shortcut would stand.
void MarkManaged(HMENU menu, UINT id)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, id, text, static_cast<int>(std::size(text)), MF_BYCOMMAND);
    std::wstring marked = std::wstring(text) + L"\t" + ToWide(kManagedByOrganizationText);
    ModifyMenuW(menu, id, MF_BYCOMMAND | MF_STRING | MF_GRAYED, id, marked.c_str());
}

const int kGroupRowData = -1; // no item's place in the list
const char kSelectAllDescription[] =
    "Ticks or unticks every item on this page. Type the start of a name to "
    "go to it; Ctrl+F shows only the items whose names hold the words typed.";

// Under its group's row an item reads without the group's name: "Chrome Cache" as "Cache", an imported
// "Notes Cache (Applications)" as "Notes Cache". A name that does not go on with a word of its own
// ("Explorer and Start Search History") stays whole.
std::string NameInGroup(const std::string& name, const std::string& group)
{
    const std::string suffix = " (" + group + ")";
    if (name.size() > suffix.size() && name.ends_with(suffix))
        return name.substr(0, name.size() - suffix.size());
    if (!name.starts_with(group))
        return name;
    const size_t rest = name.find_first_not_of(" -", group.size());
    const bool ownWord = rest != std::string::npos && rest > group.size() &&
                         (std::isupper(static_cast<unsigned char>(name[rest])) ||
                          std::isdigit(static_cast<unsigned char>(name[rest])));
    return ownWord ? name.substr(rest) : name;
}

// What a page shows in its order: an item alone, or the items of one group under the group's row, where
// the group's first item stands.
struct PageEntry {
    std::string group; // empty for an item alone
    std::vector<size_t> items;
};

std::vector<PageEntry> PageEntries(const std::vector<EraseItem>& items, const std::string& type)
{
    std::map<std::string, size_t> members;
    for (const EraseItem& item : items) {
        if (item.Listed() && item.type == type && !item.group.empty())
            ++members[item.group];
    }
    std::vector<PageEntry> entries;
    std::map<std::string, size_t> placed;
    for (size_t index = 0; index < items.size(); ++index) {
        const EraseItem& item = items[index];
        if (!item.Listed() || item.type != type)
            continue;
        // A group of one item is no group.
        if (item.group.empty() || members[item.group] < 2) {
            entries.push_back({"", {index}});
            continue;
        }
        auto [where, added] = placed.emplace(item.group, entries.size());
        if (added)
            entries.push_back({item.group, {}});
        entries[where->second].items.push_back(index);
    }
    return entries;
}

// An import cut short is settled first, so that none of its plug-ins shows up without its stored "false".
// One that cannot be settled stays out of sight, and the next import says why. A wipe cut short left a
// drive full of zeros: that goes too.
std::unique_ptr<EraseItemList> LoadItems(const EraseRunSetup& setup, std::unique_ptr<ConfigSelection>& selection)
{
    FinishInterruptedImport(setup.pluginFolder);
    RemoveInterruptedWipes(GetDriveRoots());
    selection = std::make_unique<ConfigSelection>(setup.configPath, setup.policies.ForcedTicks());
    return std::make_unique<EraseItemList>(setup.pluginFolder, setup.windowsVersion, *selection,
                                           setup.pluginCache);
}

} // namespace

BEGIN_MESSAGE_MAP(CMainDialog, CSkinDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_WM_SIZE(OnSize)
    ON_WM_SYSCOMMAND(OnSysCommand)
    ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
    ON_WM_TIMER(OnTimer)
    ON_MESSAGE(WM_HELP, OnHelp)
    ON_MESSAGE(WM_CLOSE, OnCloseMessage)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
    ON_COMMAND(IDC_ERASE_NOW, OnEraseNow)
    ON_COMMAND(IDC_OPTION, OnOptions)
    ON_COMMAND(IDC_SCHEDULE, OnSchedule)
    ON_COMMAND(IDC_SET_DEFAULT, OnSetDefault)
    ON_COMMAND(IDC_PLUGIN, OnPlugin)
    ON_COMMAND(ID_PLUGIN_PAGE, OnPluginPage)
    ON_COMMAND(ID_IMPORT_RULES, OnImportRules)
    ON_COMMAND(IDC_HELP_BUTTON, OnHelpButton)
    ON_COMMAND(IDC_ABOUT_BUTTON, OnAbout)
    ON_COMMAND(IDOK, OnClose)
    ON_COMMAND(IDC_TITLE_CLOSE, OnClose)
    ON_COMMAND(IDC_HIDE, OnMinimize)
    ON_COMMAND(IDC_MINIMIZE, OnMinimize)
    ON_COMMAND(IDC_LOGO, OnHomePage)
    ON_COMMAND(IDC_PAGE_IE, OnPage1)
    ON_COMMAND(IDC_PAGE_WINDOWS, OnPage2)
    ON_COMMAND(IDC_PAGE_APPLICATIONS, OnPage3)
    ON_COMMAND(ID_SHOW_WINDOW, OnShowWindow)
END_MESSAGE_MAP()

CMainDialog::CMainDialog(EraseRunSetup setup)
    : CSkinDialog(IDD_MAIN, IDB_MAIN_BACKGROUND),
      setup_(std::move(setup)),
      items_(LoadItems(setup_, startSelection_)),
      selectionWriter_(setup_.configPath),
      buttons_(std::begin(kButtons), std::end(kButtons)),
      icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)))
{
}

bool CMainDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    AddAboutEntry();
    SetIcons();
    if (!CreateLists())
        return false;
    unfoldedGroups_ = LoadUnfoldedGroups(setup_.settingsKey);
    FillLists();
    tray_.Create(GetHwnd(), "Vestrel", IDI_TRAY, IDR_TRAY_MENU);
    SetWindowTextW(GetHwnd(), L"Vestrel");
    AttachButtons();
    ApplyButtonSkins();
    ShowPage(1);
    startSelection_.reset(); // from here on the pages write the file
    LoadSettings(setup_.settingsKey);
    RecordPolicyProblems(setup_.policies, setup_.recordPath);
    statisticsFont_ = CreateSkinFont(WindowDpi().Scale(kStatisticsFontHeight));
    managedFont_ = CreateSkinFont(WindowDpi().Scale(kManagedFontHeight));
    titleFont_ = CreateSkinFont(WindowDpi().Scale(kTitleFontHeight));
    SetTimer(GetHwnd(), kTimerId, kTimerPeriod, nullptr);
    RunModal([this] { CLoaderDialog().DoModal(GetHwnd()); });
    SetWindowTextW(GetItem(IDC_ABOUT_BUTTON), L"&About");
    if (ProcessSettings().eraseAtStartup)
        RunSilently();
    PlaceControls();
    RepaintStatistics();
    CentreOnWorkArea();
    // The keys work the list at once, and Enter, pressing the focused button, finds none: the close prompt.
    SetFocus(List(1).View().GetHwnd());
    return false;
}

void CMainDialog::AddAboutEntry()
{
    wchar_t text[128];
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUT_ENTRY, text, 128) == 0)
        return;
    HMENU menu = GetSystemMenu(GetHwnd(), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUT_ENTRY, text);
}

void CMainDialog::SetIcons()
{
    SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

bool CMainDialog::CreateLists()
{
    // Created in the order pages 1, 3, 2, so page 2's list lies on top until a page is chosen.
    for (int page : {1, 3, 2}) {
        if (!List(page).Create(ListRect(), GetHwnd(), IDC_CHECK_LIST, IDB_CHECK_CHECKED, IDB_CHECK_UNCHECKED,
                               IDB_CHECK_MIXED, RGB(255, 255, 255)))
            return false;
        List(page).SetName(kPageNames[page - 1]);
    }
    // Tab goes from the page buttons to the list shown, then on to the buttons: the lists follow the last
    // page button, in the order they were made.
    HWND previous = GetItem(IDC_PAGE_APPLICATIONS);
    for (int page : {1, 3, 2}) {
        SetWindowPos(List(page).GetHwnd(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = List(page).GetHwnd();
    }
    return true;
}

void CMainDialog::FillLists()
{
    std::optional<ConfigSelection> read;
    const ConfigSelection& selection =
        startSelection_ ? *startSelection_ : read.emplace(setup_.configPath, setup_.policies.ForcedTicks());
    for (int page = 1; page <= kPageCount; ++page) {
        CCheckListCtrl& list = List(page);
        list.ResetContent();
        CheckListItem* selectAll = AddRow(list, kSelectAllRows[page - 1], nullptr, 0);
        if (selectAll)
            selectAll->description = kSelectAllDescription;
        for (const PageEntry& entry : PageEntries(items_->Items(), kPageTypes[page - 1])) {
            CheckListItem* parent =
                entry.group.empty() ? selectAll : AddGroupRow(page, entry.group, selectAll);
            for (size_t index : entry.items)
                AddItemRow(list, index, parent, entry.group, selection);
        }
        list.UpdateParentStates();
    }
}

CheckListItem* CMainDialog::AddRow(CCheckListCtrl& list, const std::string& text, CheckListItem* parent,
                                   int data)
{
    return list.AddItem(text, parent, CheckListItem::Unchecked, data, RGB(0, 0, 0),
                        GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT));
}

// Folded unless the user left it unfolded.
CheckListItem* CMainDialog::AddGroupRow(int page, const std::string& group, CheckListItem* selectAll)
{
    CheckListItem* row = AddRow(List(page), group, selectAll, kGroupRowData);
    if (!row)
        return selectAll;
    row->foldable = true;
    row->folded = !unfoldedGroups_.contains(GroupKey(page, group));
    row->description = "Ticks or unticks every " + group + " item.";
    return row;
}

void CMainDialog::AddItemRow(CCheckListCtrl& list, size_t index, CheckListItem* parent,
                             const std::string& group, const ConfigSelection& selection)
{
    const EraseItem& item = items_->Items()[index];
    const std::string name = group.empty() ? item.descript : NameInGroup(item.descript, group);
    CheckListItem* row = AddRow(list, name, parent, static_cast<int>(index));
    if (!row)
        return;
    row->state = selection.IsItemSelected(item) ? CheckListItem::Checked : CheckListItem::Unchecked;
    row->description = ItemExplanation(item); // the tooltip says what the item removes
    row->warning = item.warning;
    if (selection.ForcedValue(item.id)) {
        row->locked = true;
        row->warning = kManagedByOrganizationText + (item.warning.empty() ? "" : "\n" + item.warning);
    }
}

std::string CMainDialog::GroupKey(int page, const std::string& group)
{
    return std::string(kPageTypes[page - 1]) + "\\" + group;
}

// What the user folded or unfolded on the pages; groups not on them now keep what was stored.
void CMainDialog::SaveUnfoldedGroups()
{
    std::set<std::string> unfolded = unfoldedGroups_;
    for (int page = 1; page <= kPageCount; ++page) {
        const CCheckListCtrl& list = List(page);
        for (int row = 0; row < list.GetCount(); ++row) {
            std::string text;
            if (list.GetItemData(row) != kGroupRowData || list.GetItemText(row, text) != 0)
                continue;
            if (list.IsFolded(row))
                unfolded.erase(GroupKey(page, text));
            else
                unfolded.insert(GroupKey(page, text));
        }
    }
    if (unfolded != unfoldedGroups_)
        StoreUnfoldedGroups(unfolded, setup_.settingsKey);
    unfoldedGroups_ = std::move(unfolded);
}

void CMainDialog::AttachButtons()
{
    for (TableButton& button : buttons_) {
        if (AttachItem(button.row.id, button.control) && button.row.toolTip)
            button.control.SetToolTipText(button.row.toolTip);
    }
    for (int page = 1; page <= kPageCount; ++page)
        ButtonOf(kPageButtons[page - 1]).SetPageTab("Alt+" + std::to_string(page));
    ButtonOf(IDC_MINIMIZE).SetCaptionGlyph(CSkinButton::CaptionGlyph::Minimize);
    ButtonOf(IDC_TITLE_CLOSE).SetCaptionGlyph(CSkinButton::CaptionGlyph::Close);
}

CSkinButton& CMainDialog::ButtonOf(int id)
{
    auto found = std::find_if(buttons_.begin(), buttons_.end(),
                              [id](const TableButton& button) { return button.row.id == id; });
    return found->control;
}

// The faces for the window's DPI; again after a change of it.
void CMainDialog::ApplyButtonSkins()
{
    for (TableButton& button : buttons_) {
        const MainButton& row = button.row;
        if (!button.control.GetHwnd())
            continue;
        button.control.SetDpi(WindowDpi());
        button.control.SetSkin(row.normal, row.pressed, row.hover, row.disabled);
    }
}

void CMainDialog::PlaceControls()
{
    const SIZE size = WindowSize(WindowDpi());
    SetWindowPos(GetHwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    for (const MainButton& skin : kButtons) {
        const RECT r = ControlRect(skin.id, WindowDpi());
        SetWindowPos(GetItem(skin.id), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER);
    }
}

void CMainDialog::PlaceLists()
{
    const RECT r = ListRect();
    for (CCheckListCtrl& list : lists_) {
        SetWindowPos(list.GetHwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        list.ApplyDpi(WindowDpi());
    }
}

RECT CMainDialog::ListRect() const
{
    RECT list = kListRect;
    if (setup_.policies.Any())
        list.bottom = kManagedOrigin.y - 2;
    return WindowDpi().Scale(list);
}

RECT CMainDialog::ControlRect(int id, const Dpi& dpi)
{
    if (id == IDC_CHECK_LIST)
        return dpi.Scale(kListRect);
    for (const MainButton& skin : kButtons) {
        if (skin.id == id) {
            const RECT& p = skin.place;
            return dpi.Scale(RECT{p.left, p.top, p.left + p.right, p.top + p.bottom});
        }
    }
    return RECT{};
}

std::vector<int> CMainDialog::PlacedControls()
{
    std::vector<int> ids{IDC_CHECK_LIST};
    for (const MainButton& skin : kButtons)
        ids.push_back(skin.id);
    return ids;
}

SIZE CMainDialog::WindowSize(const Dpi& dpi)
{
    return dpi.Scale(SIZE{kWindowWidth, kWindowHeight});
}

bool CMainDialog::IsModified(int page) const
{
    return List(page).IsModified();
}

void CMainDialog::ClearModified(int page)
{
    List(page).SetModified(false);
}

std::vector<SelectionPages::Row> CMainDialog::Rows(int page) const
{
    const CCheckListCtrl& list = List(page);
    std::vector<Row> rows;
    const auto& items = items_->Items();
    for (int row = 1; row < list.GetCount(); ++row) {
        size_t index = static_cast<size_t>(list.GetItemData(row)); // the item's place in the list
        // The organization's tick is not the user's: their own stays stored for when the policy goes.
        if (index < items.size() && !list.IsLocked(row))
            rows.push_back({items[index].id, list.GetCheck(row)});
    }
    return rows;
}

void CMainDialog::SaveSelection()
{
    selectionWriter_.SaveCurrentPage(*items_, *this, startSelection_.get());
    SaveUnfoldedGroups();
}

void CMainDialog::ShowPage(int page)
{
    SaveSelection();
    currentPage_ = page;
    for (int other = 1; other <= kPageCount; ++other) {
        ShowWindow(List(other).GetHwnd(), other == page ? SW_SHOW : SW_HIDE);
        EnableWindow(GetItem(kPageButtons[other - 1]), other != page);
        ButtonOf(kPageButtons[other - 1]).SetSelectedTab(other == page);
    }
    // The lists are children: the page shown again (after "Set Default") must repaint its rows too.
    const RECT listArea = WindowDpi().Scale(kListArea);
    RedrawWindow(GetHwnd(), &listArea, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

CMainDialog::ModalScope::ModalScope(CMainDialog& window, Modal modal) : window_(window)
{
    window_.modals_.push_back(modal);
}

CMainDialog::ModalScope::~ModalScope()
{
    window_.modals_.pop_back();
    if (window_.modals_.empty() && window_.closeAfterModal_) {
        window_.closeAfterModal_ = false;
        PostMessageW(window_.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

template <typename Show>
void CMainDialog::RunModal(Show show, Modal modal)
{
    ModalScope scope(*this, modal);
    show();
}

bool CMainDialog::IsOpen(Modal modal) const
{
    return std::find(modals_.begin(), modals_.end(), modal) != modals_.end();
}

// The window's own buttons cannot be pressed while it is disabled under a dialog, but the tray menu and
// its double click still send their commands: a second dialog, or the end of the program, under the
// first would act on a state the first is still changing.
bool CMainDialog::BringModalToFront() const
{
    if (modals_.empty())
        return false;
    HWND front = GetHwnd();
    for (int depth = 0; depth < 8; ++depth) {
        HWND popup = GetLastActivePopup(front);
        if (!popup || popup == front)
            break;
        front = popup;
    }
    if (front != GetHwnd())
        SetForegroundWindow(front);
    return true;
}

void CMainDialog::OnSetDefault()
{
    if (BringModalToFront())
        return;
    int answer = IDNO;
    RunModal([&] {
        answer =
            MessageBoxW(GetHwnd(), L"Restore the default selection? Your ticks on all pages are replaced.",
                        ToWide(kSetDefaultCaption).c_str(), MB_YESNO | MB_ICONQUESTION);
    });
    if (answer != IDYES)
        return;
    selectionWriter_.WriteDefaults(*items_);
    FillLists();
    for (int page = 1; page <= kPageCount; ++page)
        ClearModified(page);
    ShowPage(1);
}

void CMainDialog::OnClose()
{
    if (BringModalToFront()) {
        closeAfterModal_ = !IsOpen(Modal::ClosePrompt);
        return;
    }
    List(1).SetModified(true);
    SaveSelection();
    INT_PTR answer = IDCANCEL;
    RunModal([&] { answer = CClosePromptDialog().DoModal(GetHwnd()); }, Modal::ClosePrompt);
    if (answer == IDOK)
        EndDialog(IDOK);
    else
        ShowWindow(GetHwnd(), SW_MINIMIZE);
}

void CMainDialog::OnMinimize()
{
    ShowWindow(GetHwnd(), SW_MINIMIZE);
}

void CMainDialog::OnShowWindow()
{
    ShowWindow(GetHwnd(), SW_SHOWNORMAL);
    if (!BringModalToFront())
        SetForegroundWindow(GetHwnd());
}

void CMainDialog::OnEraseNow()
{
    if (BringModalToFront())
        return;
    SaveSelection();
    RunModal([this] { ShowEraseProgress(GetHwnd(), RunSetup(), *hooks); }, Modal::EraseWindow);
    RepaintStatistics();
}

// Both dialogs' values are stored when OK is pressed and apply at once.
void CMainDialog::OnOptions()
{
    if (BringModalToFront())
        return;
    const AutoStartOperations autoStart = AutoStartOperationsFor();
    OptionsValues shown = CurrentOptions(autoStart, setup_.settingsKey);
    if (items_)
        shown.cookieSites = SitesWithCookies(items_->Items());
    COptionsDialog dialog(shown);
    RunModal([&] {
        if (dialog.DoModal(GetHwnd()) == IDOK)
            StoreOptions(dialog.values, autoStart, setup_.settingsKey);
    });
}

void CMainDialog::OnSchedule()
{
    if (BringModalToFront())
        return;
    ComInit com;
    ScheduleValues shown = CurrentSchedule();
    shown.eraseWhenClosed = IsEraseTaskRegistered();
    CScheduleDialog dialog(shown, setup_.policies);
    RunModal([&] {
        if (dialog.DoModal(GetHwnd()) != IDOK)
            return;
        StoreSchedule(dialog.values, setup_.policies, setup_.settingsKey);
        setup_.policies.ApplyTo(ProcessSettings()); // what the organization sets stays as it says
        UpdateEraseTaskOrSay(dialog.values.eraseWhenClosed);
    });
}

void CMainDialog::UpdateEraseTaskOrSay(bool whenClosed) const
{
    HRESULT result = UpdateEraseTask(ProcessSettings(), whenClosed, GetAppFolder() + "vestrel-cli.exe");
    if (FAILED(result)) {
        std::wstring text = L"The Task Scheduler did not take the change, so erasing while Vestrel is closed "
                            L"stays as it was:\n" +
                            ToWide(ErrorText(result));
        MessageBoxW(GetHwnd(), text.c_str(), L"Vestrel", MB_OK | MB_ICONWARNING);
    }
}

// Both ways to more plug-ins, in a menu under the button: the page about them, and the import.
void CMainDialog::OnPlugin()
{
    MenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_PLUGIN_MENU)));
    if (!setup_.policies.MayImportRules())
        MarkManaged(GetSubMenu(menu.get(), 0), ID_IMPORT_RULES);
    if (!setup_.policies.MayChangePlugins())
        MarkManaged(GetSubMenu(menu.get(), 0), ID_PLUGIN_PAGE);
    RECT button{};
    GetWindowRect(GetItem(IDC_PLUGIN), &button);
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0,
                   GetHwnd(), nullptr);
}

void CMainDialog::OnPluginPage()
{
    if (setup_.policies.MayChangePlugins())
        OpenPluginPage();
}

// The imported items appear at once, on the Applications page, unticked.
void CMainDialog::OnImportRules()
{
    if (BringModalToFront() || !setup_.policies.MayImportRules())
        return;
    SaveSelection();
    bool imported = false;
    RunModal([&] { imported = RulesImportPrompt(setup_).Run(GetHwnd()); });
    if (!imported)
        return;
    items_ = std::make_unique<EraseItemList>(
        setup_.pluginFolder, setup_.windowsVersion,
        ConfigSelection(setup_.configPath, setup_.policies.ForcedTicks()), setup_.pluginCache);
    FillLists();
    for (int page = 1; page <= kPageCount; ++page)
        ClearModified(page);
    ShowPage(3);
}

void CMainDialog::OnHelpButton()
{
    ShowHelp();
}

void CMainDialog::OnHomePage()
{
    OpenHomePage();
}

void CMainDialog::OnAbout()
{
    if (!BringModalToFront())
        RunModal([this] { CAboutDialog().DoModal(GetHwnd()); });
}

LRESULT CMainDialog::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    if (IsIconic(GetHwnd())) {
        RECT client;
        GetClientRect(GetHwnd(), &client);
        int x = (client.right - GetSystemMetrics(SM_CXICON)) / 2;
        int y = (client.bottom - GetSystemMetrics(SM_CYICON)) / 2;
        DrawIcon(paint.get(), x, y, icon_);
    } else {
        PaintStatistics(paint.get());
    }
    return 0;
}

std::vector<std::string> CMainDialog::StatisticsLines()
{
    return {LastErasedLine(ProcessStatistics()), FilesErasedLine(ProcessStatistics())};
}

std::vector<std::string> CMainDialog::FittedStatisticsLines(HDC dc) const
{
    SelectedObject font(dc, statisticsFont_.get());
    const int width = WindowDpi().Scale(kStatisticsRight) - WindowDpi().Scale(kStatisticsOrigin.x);
    auto fits = [&](const std::string& line) {
        std::wstring text = ToWide(line);
        SIZE size{};
        return GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
               size.cx <= width;
    };
    return {LastErasedLine(ProcessStatistics(), fits), FilesErasedLine(ProcessStatistics(), fits)};
}

void CMainDialog::PaintStatistics(HDC dc) const
{
    // The skin's band names the program; without the skin the window says it itself.
    if (HighContrastOn())
        DrawTextLines(dc, {titleFont_.get(), 0, WindowDpi().Scale(kTitleOrigin), 0}, {"Vestrel"});
    DrawTextLines(dc,
                  {statisticsFont_.get(), RGB(0, 0, 0), WindowDpi().Scale(kStatisticsOrigin),
                   WindowDpi().Scale(kStatisticsLineStep)},
                  FittedStatisticsLines(dc));
    if (setup_.policies.Any())
        DrawTextLines(dc, {managedFont_.get(), kManagedTextColour, WindowDpi().Scale(kManagedOrigin), 0},
                      {kSomeSettingsManagedText});
}

void CMainDialog::RepaintStatistics()
{
    const RECT area = WindowDpi().Scale(kStatisticsArea);
    InvalidateRect(GetHwnd(), &area, TRUE);
    std::string text;
    for (const std::string& line : StatisticsLines())
        text += (text.empty() ? "" : "\n") + line;
    if (setup_.policies.Any())
        text += std::string("\n") + kSomeSettingsManagedText;
    statisticsPanel_.Place(GetHwnd(), area);
    statisticsPanel_.SetText(text);
}

void CMainDialog::RunSilently()
{
    RunModal([this] { EraseWorker(GetHwnd(), RunSetup(), *hooks).RunSilent(); }, Modal::SilentRun);
    RepaintStatistics();
}

EraseRunSetup CMainDialog::RunSetup() const
{
    EraseRunSetup setup = setup_;
    setup.settings = ProcessSettings();
    return setup;
}

void CMainDialog::OnSize(UINT type, SIZE)
{
    // A minimised main window lives only in the tray.
    if (type == SIZE_MINIMIZED)
        ShowWindow(GetHwnd(), SW_HIDE);
    Default();
}

void CMainDialog::OnSysCommand(UINT command)
{
    if ((command & 0xFFF0) == IDM_ABOUT_ENTRY)
        OnAbout();
    else
        Default();
}

// Alt+1, Alt+2 and Alt+3 choose the pages, whose buttons show pictures and so have no mnemonic of their
// own: a key that no button and no entry of the window menu takes reaches the window as a menu character.
LRESULT CMainDialog::OnMenuChar(WPARAM key, LPARAM)
{
    const int page = static_cast<int>(LOWORD(key)) - '0';
    if (page < 1 || page > kPageCount) {
        Default();
        return 0;
    }
    ShowPage(page);
    SetFocus(List(page).View().GetHwnd());
    return MAKELRESULT(0, MNC_CLOSE);
}

LRESULT CMainDialog::OnQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(icon_);
}

void CMainDialog::OnTimer(UINT_PTR)
{
    // A schedule that comes due while the erase window is open waits: that window's run is the one.
    if (IsEraseDueNow(IsEraseBusy() || IsOpen(Modal::EraseWindow), setup_.settingsKey))
        RunSilently();
    Default();
}

// Alt+F4 and the task bar's Close would reach the dialog as its cancel id, which opens the home page;
// a user closing the window means the close handling.
LRESULT CMainDialog::OnCloseMessage(WPARAM, LPARAM)
{
    OnClose();
    return 0;
}

// Windows ends the process after this message, with no close handling: keep the user's ticks.
LRESULT CMainDialog::OnEndSession(WPARAM ending, LPARAM)
{
    if (ending)
        SaveSelection();
    return 0;
}

// After a change of DPI: the window's size, and everything drawn for the new DPI.
void CMainDialog::Layout()
{
    statisticsFont_ = CreateSkinFont(WindowDpi().Scale(kStatisticsFontHeight));
    managedFont_ = CreateSkinFont(WindowDpi().Scale(kManagedFontHeight));
    titleFont_ = CreateSkinFont(WindowDpi().Scale(kTitleFontHeight));
    PlaceControls();
    PlaceLists();
    ApplyButtonSkins();
    RepaintStatistics();
}

LRESULT CMainDialog::OnHelp(WPARAM, LPARAM)
{
    ShowHelp();
    return Default();
}
