#include "app/CEraseProgressDialog.h"
#include "app/CMainDialog.h"
#include "framework/NumberText.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "run/EraseBusy.h"
#include "resource.h"
#include "tests/app/EraseRunFixture.h"
#include "tests/support/ModalScript.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchRegistry.h"
#include "app/CClosePromptDialog.h"
#include "app/CLoaderDialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

using Texts = std::vector<std::string>;

constexpr INT_PTR kEndedByTest = 100;
const int kPageButtons[] = {IDC_PAGE_IE, IDC_PAGE_WINDOWS, IDC_PAGE_APPLICATIONS};

// Each row as "text [state]", 0 unchecked, 1 checked, 2 partly checked.
Texts Rows(const CCheckListCtrl& list)
{
    Texts rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        std::string text;
        list.GetItemText(i, text);
        rows.push_back(text + " [" + std::to_string(list.GetCheck(i)) + "]");
    }
    return rows;
}

class MainDialogTest : public EraseRunFixture {
protected:
    using Step = std::function<bool()>;

    void SetUp() override
    {
        EraseRunFixture::SetUp();
        ProcessSettings() = {};
    }

    void TearDown() override
    {
        ProcessSettings() = {};
        EraseRunFixture::TearDown();
    }

    void AddPageItem(const std::string& id, const std::string& descript, const std::string& type) const
    {
        WriteFile("plugin\\" + id + ".aep", PluginText(id, descript, type, PathOf(id + "\\*.tmp")));
    }

    // Opens the main window, lets the loader screen end at once, then runs the steps on the shown window
    // (main) and ends it, unless a step did. Steps before the window shows come between. Returns what the
    // window ended with.
    INT_PTR Run(std::vector<Step> steps, std::vector<Step> beforeShown = {})
    {
        dialog = std::make_unique<CMainDialog>(Setup());
        dialog->hooks = &hooks;
        std::vector<Step> script{[] {
            HWND loader = FindThreadWindow(CLoaderDialog::kTitle);
            if (loader)
                PostCommand(loader, IDOK);
            return loader != nullptr;
        }};
        script.insert(script.end(), beforeShown.begin(), beforeShown.end());
        script.push_back([this] { return (main = FindThreadWindow("Vestrel")) != nullptr; });
        script.insert(script.end(), steps.begin(), steps.end());
        script.push_back([this] {
            ::EndDialog(main, kEndedByTest);
            return true;
        });
        ModalScript running(script);
        INT_PTR result = dialog->DoModal();
        EXPECT_FALSE(running.TimedOut());
        return result;
    }

    // A step that clicks one of the main window's buttons.
    Step Press(int id)
    {
        return [this, id] {
            PostCommand(main, id);
            return true;
        };
    }

    // A step that only looks.
    static Step Look(std::function<void()> look)
    {
        return [look] {
            look();
            return true;
        };
    }

    Texts PageRows(int page) const { return Rows(dialog->PageList(page)); }

    // A click in the box of page 1's first item row: one row down and one level in from the list's corner.
    void ToggleFirstItem() const
    {
        HWND view = dialog->PageList(1).View().GetHwnd();
        int row = dialog->PageList(1).RowHeight();
        int middle = 5 + row + row / 2;
        SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle, middle));
    }

    std::unique_ptr<CMainDialog> dialog;
    HWND main = nullptr;
    RecordingHooks hooks;
};

// The file is there, but no tick in it: the user has confirmed none, so unattended runs erase nothing yet.
TEST_F(MainDialogTest, FirstStartChecksEveryItemAndHasWrittenTheFileWithoutStoringATick)
{
    AddPageItem("cache", "Cache", "ie");
    AddPageItem("temp", "Temp", "windows");
    AddPageItem("office", "Office", "application");
    ASSERT_FALSE(Exists("vestrel.conf"));
    Run({Look([&] {
        std::string config = Exists("vestrel.conf") ? ReadFile("vestrel.conf") : "";
        EXPECT_NE(config.find("<erase-items>"), std::string::npos) << config;
        for (const char* id : {"<cache>", "<temp>", "<office>"})
            EXPECT_EQ(config.find(id), std::string::npos) << id << " in\n" << config;
        EXPECT_EQ(PageRows(1), (Texts{"Internet Explorer (Select All) [1]", "Cache [1]"}));
        EXPECT_EQ(PageRows(2), (Texts{"Windows (Select All) [1]", "Temp [1]"}));
        EXPECT_EQ(PageRows(3), (Texts{"Applications (Select All) [1]", "Office [1]"}));
    })});
}

// The ticks read once at the start fill the lists; a start that changes nothing leaves the file alone.
TEST_F(MainDialogTest, AStartShowsTheStoredTicksAndWithNothingChangedLeavesTheFile)
{
    AddPageItem("cache", "Cache", "ie");
    AddPageItem("temp", "Temp", "windows");
    WriteFile("vestrel.conf", "<vestrel-config><erase-items><cache>true</cache><temp>false</temp>"
                              "</erase-items></vestrel-config>");
    auto shownTicks = Look([&] {
        EXPECT_EQ(PageRows(1), (Texts{"Internet Explorer (Select All) [1]", "Cache [1]"}));
        EXPECT_EQ(PageRows(2), (Texts{"Windows (Select All) [0]", "Temp [0]"}));
    });
    Run({shownTicks});
    const std::string written = ReadFile("vestrel.conf");
    const std::wstring path = ToExtendedPath(PathOf("vestrel.conf"));
    const FILETIME old{0x12345678, 0x01c00000};
    {
        UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &old));
    }
    Run({shownTicks});
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime) << "written again";
    EXPECT_EQ(ReadFile("vestrel.conf"), written);
}

TEST_F(MainDialogTest, SelectAllRowsFollowTheirPagesItems)
{
    AddPageItem("cache", "Cache", "ie");
    AddPageItem("cookies", "Cookies", "ie");
    AddPageItem("temp", "Temp", "windows");
    AddPageItem("other", "Other", "games"); // a category of no page
    WriteFile("plugin\\broken.aep", "<plugin><body><descript>Broken</descript><id>broken</id>"
                                    "<type>ie</type></body></plugin>");
    WriteConfig({{"cache", true}, {"cookies", false}, {"temp", true}, {"broken", true}});
    Run({Look([&] {
        EXPECT_EQ(PageRows(1), (Texts{"Internet Explorer (Select All) [2]", "Cache [1]", "Cookies [0]"}));
        EXPECT_EQ(PageRows(2), (Texts{"Windows (Select All) [1]", "Temp [1]"}));
        EXPECT_EQ(PageRows(3), (Texts{"Applications (Select All) [0]"})) << "a page without items";
    })});
}

// Items of one program stand under its row, folded until the user unfolds it; the file keeps one line per
// item, as an ungrouped page writes it.
TEST_F(MainDialogTest, GroupedItemsStandUnderTheirProgramAndWriteTheFileAsUngroupedOnes)
{
    auto addItems = [&](bool grouped) {
        auto add = [&](const std::string& id, const std::string& descript, const std::string& group) {
            std::string text = PluginText(id, descript, "application", PathOf(id + "\\*.tmp"));
            if (grouped && !group.empty())
                text.insert(text.find("</type>") + 7, "<group>" + group + "</group>");
            WriteFile("plugin\\" + id + ".aep", text);
        };
        add("chrome-cache", "Chrome Cache", "Chrome");
        add("chrome-history", "Chrome History", "Chrome");
        add("discord-cache", "Discord Cache", "Discord"); // a group of one is no group
        add("notes", "Notes Cache (Applications)", "Applications");
        add("zephyr", "Zephyr Logs (Applications)", "Applications");
    };
    // Unticks Chrome's History, wherever it stands, and saves the page.
    auto untickHistory = [&] {
        CCheckListCtrl& list = const_cast<CCheckListCtrl&>(dialog->PageList(3));
        for (int index = 0; index < list.GetCount(); ++index) {
            std::string text;
            list.GetItemText(index, text);
            if (text == "History" || text == "Chrome History")
                list.SetCheck(index, CheckListItem::Unchecked);
        }
        list.SetModified(true);
    };
    WriteConfig({{"chrome-cache", true},
                 {"chrome-history", true},
                 {"discord-cache", false},
                 {"notes", true},
                 {"zephyr", true}});
    const std::string before = ReadFile("vestrel.conf");

    addItems(false);
    Run({Press(IDC_PAGE_APPLICATIONS), Look(untickHistory), Press(IDC_PAGE_IE)});
    const std::string ungrouped = ReadFile("vestrel.conf");
    ASSERT_NE(ungrouped, before);

    WriteFile("vestrel.conf", before);
    addItems(true);
    Run({Press(IDC_PAGE_APPLICATIONS), Look([&] {
             EXPECT_EQ(PageRows(3), (Texts{"Applications (Select All) [2]", "Chrome [1]", "Cache [1]",
                                           "History [1]", "Discord Cache [0]", "Applications [1]",
                                           "Notes Cache [1]", "Zephyr Logs [1]"}));
             const CCheckListCtrl& list = dialog->PageList(3);
             EXPECT_TRUE(list.IsFolded(1) && list.IsFolded(5)) << "groups start folded";
             EXPECT_EQ(list.View().TipText(*list.FindItemByData(-1)), "Ticks or unticks every Chrome item.");
         }),
         Look(untickHistory), Press(IDC_PAGE_IE), Look([&] {
             EXPECT_EQ(ReadFile("vestrel.conf"), ungrouped);
             const_cast<CCheckListCtrl&>(dialog->PageList(3)).SetFolded(1, false);
         }),
         Press(IDC_PAGE_WINDOWS)});
    EXPECT_EQ(ReadFile("vestrel.conf"), ungrouped) << "no group row is ever written";

    Run({Look([&] {
        EXPECT_FALSE(dialog->PageList(3).IsFolded(1)) << "the unfolded group is remembered";
        EXPECT_TRUE(dialog->PageList(3).IsFolded(5));
    })});
}

TEST_F(MainDialogTest, TheCurrentPagesButtonIsDisabledAndOnlyItsListShows)
{
    auto expectPage = [this](int page) {
        return Look([this, page] {
            for (int other = 1; other <= CMainDialog::kPageCount; ++other) {
                EXPECT_EQ(IsWindowEnabled(GetDlgItem(main, kPageButtons[other - 1])) != FALSE, other != page)
                    << "button of page " << other << " with page " << page << " shown";
                EXPECT_EQ(IsWindowVisible(dialog->PageList(other).GetHwnd()) != FALSE, other == page)
                    << "list of page " << other << " with page " << page << " shown";
            }
        });
    };
    Run({expectPage(1), Press(IDC_PAGE_APPLICATIONS), expectPage(3), Press(IDC_PAGE_WINDOWS), expectPage(2),
         Press(IDC_PAGE_IE), expectPage(1)});
}

TEST_F(MainDialogTest, AfterSetDefaultSwitchingPagesWritesNothingUntilARowIsToggled)
{
    AddPageItem("ie-cookies", "IE Cookies", "ie");
    AddPageItem("ie-favorites", "IE Favorites", "ie");
    AddPageItem("recycle", "Empty Recycle Bin", "windows");
    AddPageItem("network", "Network Shortcuts", "windows");
    WriteConfig({{"ie-cookies", false}, {"ie-favorites", true}, {"recycle", false}, {"network", true}});
    // Any write from here on replaces this text.
    const std::string marker = "<?xml version=\"1.0\"?>\r\n<vestrel-config/>\r\n";
    auto answerSetDefault = [&](int id) {
        return [id] {
            HWND question = FindThreadWindow(CMainDialog::kSetDefaultCaption);
            if (question)
                PostMessageW(question, WM_COMMAND, id, 0);
            return question != nullptr;
        };
    };
    Run({Look([&] { ToggleFirstItem(); }), Press(IDC_SET_DEFAULT), answerSetDefault(IDNO), Look([&] {
             EXPECT_EQ(PageRows(1),
                       (Texts{"Internet Explorer (Select All) [1]", "IE Cookies [1]", "IE Favorites [1]"}))
                 << "\"No\" keeps the ticks";
         }),
         Press(IDC_SET_DEFAULT), answerSetDefault(IDYES), Look([&] {
             std::string config = ReadFile("vestrel.conf");
             for (const char* line : {"<ie-cookies>true</ie-cookies>", "<ie-favorites>false</ie-favorites>",
                                      "<recycle>true</recycle>", "<network>false</network>"})
                 EXPECT_NE(config.find(line), std::string::npos) << line << " in\n" << config;
             EXPECT_EQ(PageRows(1),
                       (Texts{"Internet Explorer (Select All) [2]", "IE Cookies [1]", "IE Favorites [0]"}));
             EXPECT_EQ(PageRows(2),
                       (Texts{"Windows (Select All) [2]", "Network Shortcuts [0]", "Empty Recycle Bin [1]"}));
             WriteFile("vestrel.conf", marker);
         }),
         Press(IDC_PAGE_WINDOWS), Press(IDC_PAGE_APPLICATIONS), Press(IDC_PAGE_IE),
         Look([&] { EXPECT_EQ(ReadFile("vestrel.conf"), marker) << "written without a change"; }),
         Look([&] { ToggleFirstItem(); }), Press(IDC_PAGE_WINDOWS), Look([&] {
             std::string config = ReadFile("vestrel.conf");
             EXPECT_NE(config.find("<ie-cookies>false</ie-cookies>"), std::string::npos) << config;
         })});
}

// Rows are matched to their items, not to their names: unticking one "Cache" leaves the other ticked.
TEST_F(MainDialogTest, TwoItemsOfOneNameStoreTheirOwnTicks)
{
    AddPageItem("a-cache", "Cache", "ie");
    AddPageItem("b-cache", "Cache", "ie");
    WriteConfig({{"a-cache", true}, {"b-cache", true}});
    Run({Look([&] { ToggleFirstItem(); }), Press(IDC_PAGE_WINDOWS), Look([&] {
             std::string config = ReadFile("vestrel.conf");
             EXPECT_NE(config.find("<a-cache>false</a-cache>"), std::string::npos) << config;
             EXPECT_NE(config.find("<b-cache>true</b-cache>"), std::string::npos) << config;
         })});
}

TEST_F(MainDialogTest, TheEndOfTheWindowsSessionSavesAChangedPage)
{
    AddPageItem("ie-cookies", "IE Cookies", "ie");
    AddPageItem("ie-favorites", "IE Favorites", "ie");
    WriteConfig({{"ie-cookies", true}, {"ie-favorites", true}});
    Run({Look([&] {
        ToggleFirstItem();
        SendMessageW(main, WM_ENDSESSION, TRUE, 0);
        std::string config = ReadFile("vestrel.conf");
        EXPECT_NE(config.find("<ie-cookies>false</ie-cookies>"), std::string::npos) << config;
    })});
}

TEST_F(MainDialogTest, MinimizeItHidesTheWindowAndTheTrayEntryShowsItAgainThenCloseItEnds)
{
    auto answerPrompt = [](int id) {
        return [id] {
            HWND prompt = FindThreadWindow(CClosePromptDialog::kTitle);
            if (prompt)
                PostCommand(prompt, id);
            return prompt != nullptr;
        };
    };
    INT_PTR result = Run({Press(IDOK), answerPrompt(IDCANCEL),
                          Look([&] { EXPECT_FALSE(IsWindowVisible(main)) << "minimised to the tray"; }),
                          Press(ID_SHOW_WINDOW), Look([&] {
                              EXPECT_TRUE(IsWindowVisible(main));
                              EXPECT_FALSE(IsIconic(main)) << "shown in its normal state";
                          }),
                          Press(IDC_TITLE_CLOSE), answerPrompt(IDOK)});
    EXPECT_EQ(result, IDOK) << "\"Close it\" ends the main window";
}

TEST_F(MainDialogTest, HideTheTitleBarsMinimiseAndTheSystemsMinimiseAllHideToTheTray)
{
    auto expectHiddenThenShow = [this](const char* way) {
        return [this, way] {
            EXPECT_FALSE(IsWindowVisible(main)) << way;
            PostCommand(main, ID_SHOW_WINDOW);
            return true;
        };
    };
    Run({Press(IDC_HIDE), expectHiddenThenShow("Hide"), Press(IDC_MINIMIZE), expectHiddenThenShow("minimise"),
         [this] {
             PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
             return true;
         },
         expectHiddenThenShow("the system's minimise"),
         Look([this] { EXPECT_TRUE(IsWindowVisible(main)); })});
}

// The window opens with the list focused, where Enter opens the close prompt; on a focused button Enter
// presses that button (About here, whose own Enter closes it) and never the window's default, Close.
TEST_F(MainDialogTest, EnterOpensTheClosePromptOrPressesTheFocusedButton)
{
    auto enter = [](HWND hwnd) {
        return [hwnd] {
            PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        };
    };
    bool prompted = false;
    bool aboutClosed = false;
    Run({[&] {
             EXPECT_EQ(GetFocus(), dialog->PageList(1).View().GetHwnd());
             return enter(main)();
         },
         [&] {
             HWND prompt = FindThreadWindow(CClosePromptDialog::kTitle);
             if (prompt)
                 PostCommand(prompt, IDCANCEL);
             return prompted = prompt != nullptr;
         },
         Press(ID_SHOW_WINDOW),
         [&] {
             SetFocus(GetDlgItem(main, IDC_ABOUT_BUTTON));
             return enter(main)();
         },
         [&] {
             HWND about = FindThreadWindow("About Vestrel");
             if (!about)
                 return false;
             EXPECT_EQ(FindThreadWindow(CClosePromptDialog::kTitle), nullptr);
             return enter(about)();
         },
         [&] { return aboutClosed = FindThreadWindow("About Vestrel") == nullptr; },
         Look([&] { EXPECT_TRUE(IsWindowVisible(main)); })});
    EXPECT_TRUE(prompted);
    EXPECT_TRUE(aboutClosed);
}

// Tab goes through the pages, the list shown, the action buttons, then the buttons at the bottom. Alt with
// a button's underlined letter presses it; Alt with a page's number shows that page's list.
TEST_F(MainDialogTest, TabFollowsTheWindowsLayoutAndAltKeysPressTheButtons)
{
    auto altKey = [](char key) {
        return [key] {
            PostMessageW(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(key), LPARAM{1} << 29);
            return true;
        };
    };
    Run({Look([&] {
             HWND view = dialog->PageList(1).View().GetHwnd();
             std::vector<int> after;
             for (HWND at = view; after.size() < 9;) {
                 at = GetNextDlgTabItem(main, at, FALSE);
                 after.push_back(GetDlgCtrlID(at));
             }
             EXPECT_EQ(after,
                       (std::vector<int>{IDC_ERASE_NOW, IDC_OPTION, IDC_SCHEDULE, IDC_SET_DEFAULT, IDC_PLUGIN,
                                         IDC_HELP_BUTTON, IDC_ABOUT_BUTTON, IDOK, IDC_HIDE}));
             // Page 1's own button is disabled while it shows.
             HWND before = GetNextDlgTabItem(main, view, TRUE);
             EXPECT_EQ(GetDlgCtrlID(before), IDC_PAGE_APPLICATIONS);
             EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(main, before, TRUE)), IDC_PAGE_WINDOWS);
         }),
         altKey('2'), Look([&] {
             EXPECT_TRUE(IsWindowVisible(dialog->PageList(2).View().GetHwnd()));
             EXPECT_FALSE(IsWindowVisible(dialog->PageList(1).View().GetHwnd()));
             EXPECT_EQ(GetFocus(), dialog->PageList(2).View().GetHwnd());
         }),
         altKey('i'), Look([&] { EXPECT_FALSE(IsWindowVisible(main)) << "Alt+I pressed Hide"; })});
}

TEST_F(MainDialogTest, TheAboutButtonAndTheSystemMenusEntryOpenTheAboutBox)
{
    auto closeAbout = [](int& opened) {
        return [&opened] {
            HWND about = FindThreadWindow("About Vestrel");
            if (!about)
                return false;
            EXPECT_TRUE(FindWindowExW(about, nullptr, L"Static", L"Vestrel 4.0") != nullptr);
            PostCommand(about, IDOK);
            ++opened;
            return true;
        };
    };
    int opened = 0;
    Run({Look([this] {
             wchar_t caption[32] = {};
             GetWindowTextW(GetDlgItem(main, IDC_ABOUT_BUTTON), caption, 32);
             EXPECT_STREQ(caption, L"&About");
             wchar_t entry[64] = {};
             HMENU menu = GetSystemMenu(main, FALSE);
             GetMenuStringW(menu, IDM_ABOUT_ENTRY, entry, 64, MF_BYCOMMAND);
             EXPECT_STREQ(entry, L"About Vestrel(&A)...");
         }),
         Press(IDC_ABOUT_BUTTON), closeAbout(opened),
         [this] {
             PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUT_ENTRY, 0);
             return true;
         },
         closeAbout(opened)});
    EXPECT_EQ(opened, 2);
}

TEST_F(MainDialogTest, StatisticsLinesShowTheStoredTotalsInTheCommonUnits)
{
    WriteDwordForTest(ScratchKey(), "Erased File Num", 2311);
    WriteDwordForTest(ScratchKey(), "Erased Register Num", 57);
    WriteStringForTest(ScratchKey(), "Last Erased Time", "09:41, Dec/07/26");
    WriteDwordForTest(ScratchKey(), "Erased File Size", 89338675);
    ProcessStatistics() = {};
    SYSTEMTIME stored{};
    stored.wYear = 2026;
    stored.wMonth = 12;
    stored.wDay = 7;
    stored.wHour = 9;
    stored.wMinute = 41;
    Run({Look([&] {
        EXPECT_EQ(CMainDialog::StatisticsLines(),
                  (Texts{"Last Erased: " + ShortDateTimeText(stored) + "; Registry Keys Erased: 57",
                         "Files Erased: 2,311;  Released HD Space: 85.1 MB; "}));
    })});
}

} // namespace

namespace {

TEST_F(MainDialogTest, ControlsLieApartInsideTheWindowAtEveryScale)
{
    const std::vector<int> ids = CMainDialog::PlacedControls();
    for (UINT dpiValue : {96u, 120u, 144u, 192u}) {
        const Dpi dpi(dpiValue);
        const SIZE window = CMainDialog::WindowSize(dpi);
        EXPECT_EQ(window.cx, MulDiv(370, dpiValue, 96));
        const RECT client{0, 0, window.cx, window.cy};
        for (size_t i = 0; i < ids.size(); ++i) {
            RECT a = CMainDialog::ControlRect(ids[i], dpi);
            RECT inside{};
            IntersectRect(&inside, &a, &client);
            EXPECT_TRUE(EqualRect(&inside, &a)) << ids[i] << " at " << dpiValue;
            for (size_t j = i + 1; j < ids.size(); ++j) {
                // The title bar's minimise and close buttons overlap by design.
                if (ids[i] == IDC_MINIMIZE && ids[j] == IDC_TITLE_CLOSE)
                    continue;
                RECT b = CMainDialog::ControlRect(ids[j], dpi);
                RECT both{};
                EXPECT_FALSE(IntersectRect(&both, &a, &b))
                    << ids[i] << " and " << ids[j] << " at " << dpiValue;
            }
        }
    }
}

TEST_F(MainDialogTest, TheWindowOpensCentredAndLargeTotalsFitTheStatisticsPanel)
{
    WriteDwordForTest(ScratchKey(), "Erased File Num", 4000000000u);
    WriteDwordForTest(ScratchKey(), "Erased File Size", 0xFFFFFFFFu);
    WriteDwordForTest(ScratchKey(), "Erased Register Num", 4000000000u);
    WriteStringForTest(ScratchKey(), "Last Erased Time", "09:41, Dec/07/26");
    Run({Look([&] {
        RECT window{};
        GetWindowRect(main, &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
        EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);

        HDC dc = GetDC(main);
        const Texts fitted = dialog->FittedStatisticsLines(dc);
        ReleaseDC(main, dc);
        const Texts full = CMainDialog::StatisticsLines();
        ASSERT_EQ(fitted.size(), 2u);
        // The last-erased line with ten-digit keys is too wide; the files line may just fit.
        EXPECT_LT(fitted[0].size(), full[0].size());
        EXPECT_LE(fitted[1].size(), full[1].size());
    })});
}

// Moved to a monitor at 200 %: the buttons sit at their doubled places and wear the 200 % faces, which
// cover them to their far corner (the old faces would leave it unpainted).
TEST_F(MainDialogTest, ADpiChangeGivesTheButtonsTheirPlacesAndFacesForTheNewScale)
{
    static constexpr COLORREF kUnpainted = RGB(255, 0, 255);
    Run({Look([this] {
        RECT suggested{0, 0, 740, 900};
        SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        for (int id : {IDC_ERASE_NOW, IDOK}) {
            HWND button = GetDlgItem(main, id);
            RECT place{};
            GetWindowRect(button, &place);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
            const RECT expected = CMainDialog::ControlRect(id, Dpi(192));
            EXPECT_TRUE(EqualRect(&place, &expected)) << id;
            const int width = place.right - place.left;
            const int height = place.bottom - place.top;
            HDC screen = GetDC(main);
            HDC dc = CreateCompatibleDC(screen);
            HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
            HGDIOBJ old = SelectObject(dc, canvas);
            RECT all{0, 0, width, height};
            HBRUSH fill = CreateSolidBrush(kUnpainted);
            FillRect(dc, &all, fill);
            SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            EXPECT_NE(GetPixel(dc, width - 3, height - 3), kUnpainted) << id;
            EXPECT_NE(GetPixel(dc, width / 2, height / 2), kUnpainted) << id;
            SelectObject(dc, old);
            DeleteObject(fill);
            DeleteObject(canvas);
            DeleteDC(dc);
            ReleaseDC(main, screen);
        }
    })});
}

// While the import's file dialog is open, the tray's Erase Now opens nothing and its Close waits for it.
TEST_F(MainDialogTest, TheRulesImportIsModalToo)
{
    bool sawPicker = false;
    bool prompted = false;
    Run({Press(ID_IMPORT_RULES),
         [&] {
             HWND picker = FindThreadWindow("Import Rules File");
             if (!picker)
                 return false;
             sawPicker = true;
             PostCommand(main, IDC_ERASE_NOW);
             PostCommand(main, IDOK);
             return true;
         },
         [&] {
             EXPECT_EQ(FindThreadWindow(CEraseProgressDialog::kTitle), nullptr);
             EXPECT_EQ(FindThreadWindow(CClosePromptDialog::kTitle), nullptr);
             HWND picker = FindThreadWindow("Import Rules File");
             if (picker)
                 PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
             return picker != nullptr;
         },
         [&] {
             HWND prompt = FindThreadWindow(CClosePromptDialog::kTitle);
             if (prompt)
                 PostCommand(prompt, IDCANCEL);
             return prompted = prompt != nullptr;
         }});
    EXPECT_TRUE(sawPicker);
    EXPECT_TRUE(prompted) << "the close asked for meanwhile follows";
}

// The start-up's run works away from the window's thread: the thread's loop goes on answering (the script's
// ticks arrive) while an item is being erased, and the timer finds the run busy.
TEST_F(MainDialogTest, AStartUpRunLeavesTheWindowsThreadAnswering)
{
    AddItem("a.aep", "x", "X");
    WriteConfig({{"x", true}});
    WriteDwordForTest(ScratchKey(), "Erase at Startup", 1);
    const DWORD windowThread = GetCurrentThreadId();
    std::atomic<bool> answered = false;
    std::atomic<bool> erasedOnWindowThread = false;
    hooks.onExecute = [&] {
        erasedOnWindowThread = GetCurrentThreadId() == windowThread;
        for (DWORD start = GetTickCount(); !answered && GetTickCount() - start < 10000;)
            Sleep(10);
    };
    Run({Look([&] { EXPECT_TRUE(ItemErased("x")); })}, {[&] {
            if (IsEraseBusy())
                answered = true;
            return answered.load();
        }});
    EXPECT_TRUE(answered) << "the window's thread waited without answering";
    EXPECT_FALSE(erasedOnWindowThread);
    EXPECT_EQ(ProcessStatistics().filesErased, 2u);
}

} // namespace

// A screen reader in a second process, as NVDA or JAWS reads a window: the first page's rows with their
// names, roles and states, the buttons with their keys, a row unticked by its default action as a click
// would, then the focus and the tick heard as the keyboard moves and ticks.
TEST_F(MainDialogTest, AScreenReaderReadsTheFirstPageTicksByDefaultActionAndHearsTheKeys)
{
    AddPageItem("cache", "Cache", "ie");
    AddPageItem("cookies", "Cookies", "ie");
    const std::string client = "\"" + TestProgramFolder() + "msaa_client.exe\" ";
    UniqueHandle reader;
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, L"VestrelReaderHooked"));
    auto start = [&](const std::string& arguments) {
        return [&, arguments] {
            reader = StartProgram(client + arguments);
            EXPECT_TRUE(reader) << arguments;
            return true;
        };
    };
    auto ended = [&] { return !reader || WaitForSingleObject(reader.get(), 0) == WAIT_OBJECT_0; };
    auto hwnd = [](HWND window) { return std::to_string(reinterpret_cast<INT_PTR>(window)); };
    HWND view = nullptr;
    Run({Look([&] { view = dialog->PageList(1).View().GetHwnd(); }),
         [&] { return start("read \"" + PathOf("read.txt") + "\" " + hwnd(main))(); }, ended, Look([&] {
             const std::string read = ReadFile("read.txt");
             std::printf("What a screen reader reads of the main window's first page:\n%s", read.c_str());
             for (const char* line :
                  {"list \"Internet Explorer\" [focused]",
                   "list item \"Internet Explorer (Select All)\" [selected, focused, checked] (Uncheck)",
                   "list item \"Cache\" [checked] (Uncheck)",
                   "page tab \"Internet Explorer\" [selected] Alt+1",
                   "page tab \"Windows\" [] Alt+2 (Switch)", "push button \"Erase Now\" [] Alt+E (Press)",
                   "static text \"Last Erased: Never; Registry Keys Erased: 0|Files Erased: 0;"})
                 EXPECT_NE(read.find(line), std::string::npos) << line;
         }),
         [&] { return start("do \"" + PathOf("do.txt") + "\" " + hwnd(view) + " Cache")(); }, ended,
         Look([&] {
             EXPECT_NE(ReadFile("do.txt").find("list item \"Cache\" [] (Check)"), std::string::npos)
                 << ReadFile("do.txt");
             EXPECT_EQ(PageRows(1),
                       (Texts{"Internet Explorer (Select All) [2]", "Cache [0]", "Cookies [1]"}));
             EXPECT_TRUE(dialog->PageList(1).IsModified());
         }),
         [&] {
             return start("listen \"" + PathOf("heard.txt") + "\" " + std::to_string(GetCurrentProcessId()) +
                          " VestrelReaderHooked 6")();
         },
         [&] { return WaitForSingleObject(ready.get(), 0) == WAIT_OBJECT_0; },
         // The modal loop has retrieved a message since the hook was set: events reach the reader now.
         Look([&] {
             SendMessageW(view, WM_KEYDOWN, VK_DOWN, 0);
             SendMessageW(view, WM_KEYDOWN, VK_DOWN, 0);
             SendMessageW(view, WM_KEYDOWN, VK_SPACE, 0);
         }),
         ended, Look([&] {
             const std::string heard = ReadFile("heard.txt");
             DWORD code = 0;
             GetExitCodeProcess(reader.get(), &code);
             std::printf("What it hears of Down, Down, Space (%lu):\n%s", code, heard.c_str());
             EXPECT_NE(heard.find("focus: list item \"Cache\""), std::string::npos) << heard;
             EXPECT_NE(heard.find("focus: list item \"Cookies\""), std::string::npos) << heard;
             EXPECT_NE(heard.find("state: list item \"Cookies\" [selected, focused] (Check)"),
                       std::string::npos)
                 << heard;
         })});
}
