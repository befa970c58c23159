#include "app/CEraseDetailsDialog.h"
#include "app/CEraseProgressDialog.h"
#include "app/CEraseResultDialog.h"
#include "app/CItemFilesDialog.h"
#include "run/EraseBusy.h"
#include "run/EraseRun.h"
#include "run/ItemPreview.h"
#include "cli/CliProgram.h"
#include "framework/Format.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "resource.h"
#include "framework/RegKey.h"
#include "tests/app/EraseRunFixture.h"
#include "tests/support/ModalScript.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

const char* const kProgressTitle = CEraseProgressDialog::kTitle;
const char* const kResultTitle = CEraseResultDialog::kTitle;

SIZE WindowSize(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// A control's place in its dialog's client coordinates.
RECT ControlRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// A line's width in the font selected into dc.
int TextWidth(HDC dc, const std::string& line)
{
    std::wstring text = ToWide(line);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void ChangeDpi(HWND hwnd, UINT dpi)
{
    RECT suggested{0, 0, MulDiv(370, static_cast<int>(dpi), 96), MulDiv(450, static_cast<int>(dpi), 96)};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

Texts Rows(const CCheckListCtrl& list)
{
    Texts rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        std::string text;
        list.GetItemText(i, text);
        std::string detail = list.GetItemDetail(i);
        rows.push_back(text + (detail.empty() ? "" : " \u2014 " + detail) +
                       (list.GetCheck(i) == 1 ? " [x]" : " [ ]"));
    }
    return rows;
}

// Hands everything on, and calls onFile after each file (an erase: after it went).
class FileTap final : public EraseListener {
public:
    FileTap(EraseListener& next, std::function<void()> onFile) : next_(next), onFile_(std::move(onFile)) {}

    void OnFile(const std::string& path, uint64_t size) override
    {
        next_.OnFile(path, size);
        onFile_();
    }
    void OnFolderLink(const std::string& path) override { next_.OnFolderLink(path); }
    void OnRegistryEntry(const std::string& path, bool isKey) override { next_.OnRegistryEntry(path, isKey); }
    void OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes) override
    {
        next_.OnRecycleBin(root, items, bytes);
    }
    void OnFailure(const std::string& path, const std::string& reason) override
    {
        next_.OnFailure(path, reason);
    }
    void OnRefused(const std::string& path) override { next_.OnRefused(path); }
    void OnUncounted(const std::string& what) override { next_.OnUncounted(what); }

private:
    EraseListener& next_;
    std::function<void()> onFile_;
};

// Presses the erase dialog's Stop once the run has erased a few files of the item.
class StoppingHooks : public RecordingHooks {
public:
    HWND dialog = nullptr;
    int stopAfter = 2;

    void Execute(EraseItem& item, const EraseContext& context, EraseListener& listener) override
    {
        int files = 0;
        FileTap tap(listener, [&] {
            if (++files == stopAfter)
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_START_ERASE, BN_CLICKED), 0);
        });
        RecordingHooks::Execute(item, context, tap);
    }
};

class EraseDialogsTest : public EraseRunFixture {
protected:
    void SetUp() override
    {
        EraseRunFixture::SetUp();
        dialog.setup = Setup();
        dialog.hooks = &hooks;
    }

    // Waits for the progress dialog, lets the test look at it, and presses a button.
    ModalScript::Step PressWhenOpen(int id, std::function<void(HWND)> look = {})
    {
        return [this, id, look] {
            HWND hwnd = FindThreadWindow(kProgressTitle);
            if (!hwnd)
                return false;
            if (look)
                look(hwnd);
            PostCommand(hwnd, id);
            return true;
        };
    }

    // Waits until every row is counted, keeps the rows' texts, lets the test look, and erases.
    ModalScript::Step EraseWhenCounted(Texts& rows, std::function<void()> look)
    {
        return [this, &rows, look] {
            if (dialog.CurrentPhase() != CEraseProgressDialog::Phase::Ready)
                return false;
            for (int i = 0; i < dialog.List().GetCount(); ++i) {
                std::string text;
                dialog.List().GetItemText(i, text);
                rows.push_back(text + " \u2014 " + dialog.List().GetItemDetail(i));
            }
            look();
            PostCommand(FindThreadWindow(kProgressTitle), IDC_START_ERASE);
            return true;
        };
    }

    // Waits for the result dialog, lets the test look at it, and closes it with its button.
    ModalScript::Step CloseResult(std::function<void(HWND)> look = {})
    {
        return [look] {
            HWND hwnd = FindThreadWindow(kResultTitle);
            if (!hwnd)
                return false;
            if (look)
                look(hwnd);
            SendMessageW(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
            return true;
        };
    }

    RecordingHooks hooks;
    CEraseProgressDialog dialog;
};

TEST_F(EraseDialogsTest, WithNothingSelectedSaysSoAndRunsNothing)
{
    AddItem("1.aep", "a", "Item A");
    bool looked = false;
    ModalScript script({[&] {
                            HWND hwnd = FindThreadWindow(kProgressTitle);
                            if (!hwnd)
                                return false;
                            looked = true;
                            EXPECT_EQ(dialog.SelectedCount(), 0);
                            EXPECT_EQ(dialog.Status(), "Nothing is selected");
                            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_START_ERASE)));
                            EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDOK));
                            PostCommand(hwnd, IDC_START_ERASE);
                            // Enter presses the focused Cancel.
                            PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_RETURN, 0);
                            return true;
                        },
                        [] {
                            if (HWND hwnd = FindThreadWindow(kProgressTitle)) {
                                ADD_FAILURE() << "Enter on Cancel left the dialog open";
                                PostCommand(hwnd, IDOK);
                            }
                            return true;
                        }});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(looked);
    EXPECT_TRUE(hooks.events.empty());
    EXPECT_EQ(ProcessStatistics().lastErasedTime, 0) << "no empty run updates Last Erased";
    EXPECT_TRUE(ItemUntouched("a"));
}

TEST_F(EraseDialogsTest, OpensSkinnedWithTheControlsInPlace)
{
    ModalScript script({PressWhenOpen(IDOK, [](HWND hwnd) {
        SIZE size = WindowSize(hwnd);
        EXPECT_EQ(size.cx, 370);
        EXPECT_EQ(size.cy, 450);
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_SHOW_FILES), RECT{35, 410, 119, 435}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_START_ERASE), RECT{143, 410, 227, 435}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDOK), RECT{251, 410, 335, 435}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_PROGRESS_BAR), RECT{30, 331, 341, 341}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_CHECK_LIST), RECT{46, 84, 320, 236}));
        EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
        EXPECT_EQ(LOWORD(SendMessageW(hwnd, DM_GETDEFID, 0, 0)), IDC_START_ERASE) << "Enter erases";
        EXPECT_NE(IDC_START_ERASE, IDCANCEL) << "Escape must never erase";
        // Moved to a monitor at 200 %: everything doubles.
        RECT suggested{0, 0, 740, 900};
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        size = WindowSize(hwnd);
        EXPECT_EQ(size.cx, 740);
        EXPECT_EQ(size.cy, 900);
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDOK), RECT{502, 820, 670, 870}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_CHECK_LIST), RECT{92, 168, 640, 472}));
    })});
    dialog.DoModal();
    EXPECT_FALSE(script.TimedOut());
}

TEST_F(EraseDialogsTest, CancelEscapeAndTheCloseBoxLeaveWithoutARun)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    auto escape = [](HWND hwnd) { PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_ESCAPE, 0); };
    const std::vector<std::pair<std::function<void(HWND)>, INT_PTR>> ways{
        {[](HWND hwnd) { PostCommand(hwnd, IDOK); }, IDOK},
        {escape, IDCANCEL},
        {[](HWND hwnd) { PostMessageW(hwnd, WM_CLOSE, 0, 0); }, IDCANCEL}};
    for (const auto& [leave, result] : ways) {
        CEraseProgressDialog progress;
        progress.setup = Setup();
        progress.hooks = &hooks;
        ModalScript script({[&] {
            HWND hwnd = FindThreadWindow(kProgressTitle);
            if (!hwnd)
                return false;
            leave(hwnd);
            return true;
        }});
        EXPECT_EQ(progress.DoModal(), result);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_NE(progress.CurrentPhase(), CEraseProgressDialog::Phase::Running);
    }
    EXPECT_TRUE(hooks.events.empty());
    EXPECT_TRUE(ItemUntouched("a"));
    EXPECT_EQ(ProcessStatistics().lastErasedTime, 0);
}

// vestrel-cli stores its counts while the window holds older ones: neither the window's next run nor a
// Cancel may write the old copy back.
TEST_F(EraseDialogsTest, EraseNowKeepsWhatVestrelCliStoredMeanwhile)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "b", "Item B");
    WriteConfig({{"a", false}, {"b", true}});
    ProcessStatistics().filesErased = 12; // what the window read when it opened
    auto stored = [this](const char* name) {
        RegKey key;
        uint64_t value = 0;
        EXPECT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
        EXPECT_EQ(key.QueryCount(value, name), ERROR_SUCCESS);
        return value;
    };
    {
        RegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
        key.SetDword(12, "Erased File Num");
    }
    CliStreams quiet{[](std::string_view) {}, [](std::string_view) {}};
    ASSERT_EQ(CliProgram(Setup(), quiet, [] { return uint64_t{0}; }).Run({"erase", "a"}), kExitDone);
    ASSERT_EQ(stored("Erased File Num"), 14u);

    ModalScript run({PressWhenOpen(IDC_START_ERASE), CloseResult()});
    ShowEraseProgress(nullptr, Setup(), hooks);
    EXPECT_FALSE(run.TimedOut());
    EXPECT_EQ(stored("Erased File Num"), 16u);
    EXPECT_EQ(ProcessStatistics().filesErased, 16u);

    {
        RegKey key; // another erase from the command line
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
        key.SetDword(20, "Erased File Num");
        key.SetString("11:00, Jan/03/26", "Last Erased Time");
    }
    ModalScript cancel({PressWhenOpen(IDOK)});
    ShowEraseProgress(nullptr, Setup(), hooks);
    EXPECT_FALSE(cancel.TimedOut());
    EXPECT_EQ(stored("Erased File Num"), 20u);
    EXPECT_EQ(ProcessStatistics().filesErased, 20u) << "the window shows what is stored";
    EXPECT_EQ(ProcessStatistics().lastErasedText, "11:00, Jan/03/26");
}

// Enter presses the button that has the focus, however it came there; elsewhere it erases. The focus
// frame must never sit on Cancel while Enter erases.
TEST_F(EraseDialogsTest, EnterPressesTheFocusedButtonAndElseErases)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    using Act = std::function<void(HWND, const CEraseProgressDialog&)>;
    Act tab = [](HWND, const CEraseProgressDialog&) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0); };
    auto focus = [](int id) -> Act {
        return [id](HWND hwnd, const CEraseProgressDialog&) { SetFocus(GetDlgItem(hwnd, id)); };
    };
    Act focusList = [](HWND, const CEraseProgressDialog& shown) { SetFocus(shown.List().View().GetHwnd()); };
    struct Case {
        const char* name;
        Act act;
        bool erases;
    };
    const Case cases[]{{"as opened", [](HWND, const CEraseProgressDialog&) {}, true},
                       {"Tab to Cancel", tab, false},
                       {"Cancel focused", focus(IDOK), false},
                       {"Erase focused again", focus(IDC_START_ERASE), true},
                       {"the list focused", focusList, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddItem("1.aep", "a", "Item A");
        RecordingHooks recorded;
        CEraseProgressDialog progress;
        progress.setup = Setup();
        progress.hooks = &recorded;
        HWND focused = nullptr;
        std::vector<ModalScript::Step> steps{[&] {
                                                 HWND hwnd = FindThreadWindow(kProgressTitle);
                                                 if (!hwnd)
                                                     return false;
                                                 c.act(hwnd, progress);
                                                 return true;
                                             },
                                             [&] {
                                                 focused = GetFocus();
                                                 PostMessageW(focused, WM_KEYDOWN, VK_RETURN, 0);
                                                 return true;
                                             }};
        steps.push_back(CloseResult()); // not reached when the dialog ends without a run
        ModalScript script(std::move(steps));
        EXPECT_EQ(progress.DoModal(), IDOK);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_NE(focused, nullptr);
        EXPECT_EQ(recorded.events, (c.erases ? Texts{"execute a", "pause 1000"} : Texts{}));
        EXPECT_EQ(ItemUntouched("a"), !c.erases);
    }
}

// The run goes on away from the dialog's thread, which keeps handling messages: the script's steps
// below run between the run's items.
TEST_F(EraseDialogsTest, RunTicksEachRowAndShowsTheResult)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "skipped", "Skipped Item");
    AddItem("3.aep", "broken", "Broken Item", false);
    AddItem("4.aep", "b", "Item B");
    WriteConfig({{"a", true}, {"skipped", false}, {"broken", true}, {"b", true}});
    dialog.setup = Setup(/*express*/ true);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    Texts duringRun;
    hooks.onExecute = [&] { EXPECT_TRUE(IsEraseBusy()); };
    // The dialog has ticked the row before the run pauses after the item.
    hooks.onPause = [&] {
        Texts rows = Rows(dialog.List());
        duringRun.push_back(rows[0] + ", " + rows[1] + ", bar " + std::to_string(dialog.Bar().GetPos()) +
                            ", " + dialog.Status());
        Sleep(200);
    };
    bool sawRunning = false;
    EraseTally shown{};
    // Erased once counted, so that the bar weighs each row by its count.
    ModalScript script({[&] { return dialog.CurrentPhase() == CEraseProgressDialog::Phase::Ready; },
                        PressWhenOpen(IDC_START_ERASE,
                                      [&](HWND) {
                                          EXPECT_EQ(dialog.SelectedCount(), 2);
                                          EXPECT_EQ(dialog.List().GetCount(), 2);
                                      }),
                        [&] {
                            if (dialog.CurrentPhase() != CEraseProgressDialog::Phase::Running)
                                return false;
                            HWND hwnd = FindThreadWindow(kProgressTitle);
                            sawRunning = true;
                            wchar_t caption[16] = {};
                            GetWindowTextW(GetDlgItem(hwnd, IDC_START_ERASE), caption, 16);
                            EXPECT_STREQ(caption, L"&Stop") << "Erase becomes Stop";
                            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_START_ERASE)));
                            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDOK)));
                            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_SHOW_FILES)));
                            SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), HTCLIENT);
                            EXPECT_EQ(GetCursor(), wait);
                            return true;
                        },
                        CloseResult([&](HWND hwnd) {
                            shown = dialog.Tally();
                            EXPECT_EQ(GetCursor(), arrow);
                            EXPECT_EQ(GetForegroundWindow(), hwnd);
                            EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDOK)) << "the result opens on Close";
                            PBRANGE range = dialog.Bar().GetRange();
                            EXPECT_EQ(range.iHigh, CEraseProgressDialog::kBarSteps);
                            EXPECT_FALSE(dialog.Bar().Look().showPercent);
                        })});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(sawRunning);
    ASSERT_EQ(duringRun.size(), 2u);
    EXPECT_EQ(duringRun[0].substr(duringRun[0].find(", bar")), ", bar 500, 1 of 2 done");
    EXPECT_NE(duringRun[0].find("[x]"), std::string::npos);
    EXPECT_EQ(duringRun[1].substr(duringRun[1].find(", bar")), ", bar 1000, Success")
        << "shown in the last pause";
    EXPECT_EQ(hooks.events, (Texts{"execute a", "pause 400", "execute b", "pause 400"}));
    EXPECT_EQ(shown.filesErased, 4u);
    EXPECT_EQ(shown.bytesReleased, 6000u);
    EXPECT_TRUE(ItemErased("a") && ItemErased("b") && ItemUntouched("skipped") && ItemUntouched("broken"));
    EXPECT_EQ(ProcessStatistics().filesErased, 4u);
    EXPECT_EQ(ProcessStatistics().lastErasedText, ExpectedLastErasedText());
    EXPECT_EQ(RecordMessages(), (Texts{"Item A done...", "Item B done..."}));
    EXPECT_FALSE(IsEraseBusy());
}

TEST_F(EraseDialogsTest, EachRowCountsWhatTheRunThenRemoves)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "b", "Item B");
    WriteFile("b\\three.tmp", std::string(3000, 'c'));
    AddItem("3.aep", "empty", "Empty Item");
    DeleteFileW(ToWide(PathOf("empty\\one.tmp")).c_str());
    DeleteFileW(ToWide(PathOf("empty\\two.tmp")).c_str());
    WriteConfig({{"a", true}, {"b", true}, {"empty", true}});
    Texts rows;
    ModalScript script({EraseWhenCounted(rows,
                                         [&] {
                                             EXPECT_EQ(dialog.Status(), "Ready");
                                             EXPECT_TRUE(ItemUntouched("a")) << "counting removes nothing";
                                         }),
                        CloseResult()});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(rows, (Texts{"Item A \u2014 2 files, 2 KB", "Item B \u2014 3 files, 5 KB",
                           "Empty Item \u2014 nothing to erase"}));
    EraseTally counted;
    for (const auto& preview : dialog.Previews())
        AddTally(counted, preview->tally);
    EXPECT_EQ(counted.filesErased, dialog.Tally().filesErased);
    EXPECT_EQ(counted.bytesReleased, dialog.Tally().bytesReleased);
    EXPECT_EQ(dialog.Tally().filesErased, 5u);
}

TEST_F(EraseDialogsTest, AFileInUseIsLeftAndTheResultSaysSo)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    UniqueHandle held(CreateFileW(ToWide(PathOf("a\\one.tmp")).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Texts lines;
    bool details = false;
    ModalScript script({PressWhenOpen(IDC_START_ERASE), CloseResult([&](HWND hwnd) {
                            details = IsWindowVisible(GetDlgItem(hwnd, IDC_RESULT_DETAILS)) != FALSE;
                            lines = CEraseResultDialog::ResultLines(dialog.Tally(), {1, 0, 0, 0});
                        })});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(dialog.Status(), "Finished with 1 failure");
    EXPECT_TRUE(details);
    EXPECT_EQ(lines.back(), "Left: 1 file in use");
    EXPECT_EQ(dialog.Tally().filesErased, 1u);
}

// What the engine refuses or skips reaches the rows, the status and the record file alike.
TEST_F(EraseDialogsTest, RowsAndRecordSayWhatWasSkippedOrRefused)
{
    AddItem("1.aep", "a", "Item A");
    WriteFile("plugin\\2.aep",
              Replaced(PluginText("busy", "Busy Item", "windows", PathOf("busy\\*.tmp")), "<parameters>",
                       "<running name=\"Tester\">app_tests.exe</running>"
                       "<warning>Removes saved passwords</warning><parameters>"));
    WriteFile("busy\\one.tmp", "kept");
    WriteFile("plugin\\3.aep",
              Replaced(PluginText("guard", "Guard", "windows", "HKEY_CURRENT_USER\\Software"), "delete-file",
                       "delete-register-key"));
    WriteConfig({{"a", true}, {"busy", true}, {"guard", true}});
    Texts rows;
    std::string warning;
    Texts offered;
    dialog.askToClose = [&](HWND, const Texts& programs) {
        offered = programs;
        return false;
    };
    ModalScript script(
        {EraseWhenCounted(rows, [&] { warning = dialog.List().FindItemByData(1)->warning; }), CloseResult()});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(offered, Texts{"Tester"});
    EXPECT_EQ(rows, (Texts{"Item A \u2014 2 files, 2 KB", "Busy Item \u2014 skipped: Tester is running",
                           "Guard \u2014 1 refused"}));
    EXPECT_EQ(warning, "h\nRemoves saved passwords") << "the tooltip explains the row, then warns";
    EXPECT_EQ(dialog.Status(), "Finished with 1 failure");
    EXPECT_TRUE(Exists("busy\\one.tmp"));
    EXPECT_EQ(RecordMessages(),
              (Texts{"Item A done...", "Busy Item skipped: Tester is running",
                     "refused hkey_current_user\\software (a protected registry key)", "Guard done..."}));
}

// Told yes, the window asks the program to close, counts again and erases what it kept from running.
TEST_F(EraseDialogsTest, AProgramClosedOnRequestLetsItsItemBeCountedAndErased)
{
    MakeFolder("browser");
    UniqueHandle program = StartWindowProgram(PathOf("browser"), "quits");
    ASSERT_TRUE(program);
    WriteFile("plugin\\1.aep",
              Replaced(PluginText("busy", "Busy Item", "windows", PathOf("busy\\*.tmp")), "<parameters>",
                       "<running name=\"Tester\" folder=\"" + PathOf("browser") +
                           "\">window_program.exe</running><parameters>"));
    WriteFile("busy\\one.tmp", "gone");
    WriteConfig({{"busy", true}});
    Texts offered;
    dialog.askToClose = [&](HWND, const Texts& programs) {
        offered = programs;
        return true;
    };
    Texts rows;
    ModalScript script({EraseWhenCounted(rows, [] {}), CloseResult()});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(offered, Texts{"Tester"});
    EXPECT_EQ(rows, Texts{"Busy Item \u2014 1 file, 4 bytes"});
    EXPECT_EQ(WaitForSingleObject(program.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_FALSE(Exists("busy\\one.tmp"));
}

TEST_F(EraseDialogsTest, AFailedRunLeavesNeitherBusyFlagNorWaitCursor)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    class FailingPause : public RecordingHooks {
        void Pause(unsigned) override { throw std::runtime_error("pause failed"); }
    } failing;
    dialog.hooks = &failing;
    ModalScript script({PressWhenOpen(IDC_START_ERASE)});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_FALSE(IsEraseBusy());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(EraseDialogsTest, ResultAndStatusWriteSizesAndCountsLikeTheMainWindow)
{
    EXPECT_EQ(CEraseResultDialog::ResultLines(EraseTally{3, 1023, 4}),
              (Texts{"Released HD Space: 1,023 bytes; ", "Files Erased: 3;", "Registry Keys Erased: 4"}));
    EXPECT_EQ(CEraseResultDialog::ResultLines(EraseTally{2311, 2048, 0})[1], "Files Erased: 2,311;");
    EXPECT_EQ(
        CEraseProgressDialog::StatusLines("Ready", EraseTally{5, 2047, 6}),
        (Texts{"Status: Ready;  Released HD Space: 1 KB; ", "Files Erased: 5, Registry Keys Erased: 6"}));
    EXPECT_EQ(CEraseProgressDialog::StatusLines("Success", EraseTally{0, 0xFFFFFFFFu, 0})[0],
              "Status: Success;  Released HD Space: 3.9 GB; ");
}

TEST_F(EraseDialogsTest, ResultDialogIsSkinnedAndClosesWithItsButtonOrEnter)
{
    for (bool byEnter : {false, true}) {
        CEraseResultDialog result;
        result.tally = EraseTally{1, 2048, 3};
        ModalScript script({[&] {
            HWND hwnd = FindThreadWindow(kResultTitle);
            if (!hwnd)
                return false;
            SIZE size = WindowSize(hwnd);
            EXPECT_EQ(size.cx, 300);
            EXPECT_EQ(size.cy, 240);
            EXPECT_TRUE(SameRect(ControlRect(hwnd, IDOK), RECT{108, 192, 192, 217}));
            if (byEnter)
                PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_RETURN, 0);
            else
                SendMessageW(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
            return true;
        }});
        EXPECT_EQ(result.DoModal(), IDOK);
        EXPECT_FALSE(script.TimedOut());
    }
}

// Real item names and large totals stay inside the status panel at every scale, in the dialog's own font;
// texts short enough keep the wording users know.
TEST_F(EraseDialogsTest, StatusLinesFitThePanelAtEveryScale)
{
    using Phase = CEraseProgressDialog::Phase;
    const EraseTally big{4000000000u, 4000000000u, 4000000000u};
    const EraseTally small{3, 12288, 1};
    const std::string erasing = "Erasing Temporary Internet Files of Every Browser Profile";
    const std::pair<Phase, std::string> states[]{{Phase::Running, erasing},
                                                 {Phase::Finished, CEraseProgressDialog::OutcomeStatus(12)},
                                                 {Phase::Counting, "Counting 12 of 40..."},
                                                 {Phase::Nothing, "Nothing is selected"}};
    ModalScript script({PressWhenOpen(IDOK, [&](HWND hwnd) {
        for (UINT dpi : {96u, 144u, 192u}) {
            ChangeDpi(hwnd, dpi);
            HDC dc = GetDC(hwnd);
            HGDIOBJ old = SelectObject(dc, dialog.StatusFont());
            const int width = dialog.StatusWidth();
            auto fits = [&](const std::string& line) { return TextWidth(dc, line) <= width; };
            for (const auto& [phase, status] : states) {
                for (const std::string& line : CEraseProgressDialog::FittedLines(phase, status, big, fits))
                    EXPECT_LE(TextWidth(dc, line), width) << line << " at " << dpi;
            }
            const Texts running = CEraseProgressDialog::FittedLines(Phase::Running, erasing, big, fits);
            EXPECT_EQ(running[0].rfind("Erasing Temporary", 0), 0u) << running[0];
            EXPECT_NE(running[0].find("...;  Released: 3.7 GB"), std::string::npos) << running[0];
            const Texts finished =
                CEraseProgressDialog::FittedLines(Phase::Finished, states[1].second, big, fits);
            EXPECT_NE(finished[0].find("Finished with 12 failures"), std::string::npos) << "never cut";
            EXPECT_EQ(CEraseProgressDialog::FittedLines(Phase::Running, "2 of 4 done", small, fits),
                      CEraseProgressDialog::StatusLines("2 of 4 done", small))
                << dpi;
            EXPECT_EQ(CEraseProgressDialog::FittedLines(Phase::Ready, "Ready", small, fits),
                      CEraseProgressDialog::PreviewLines("Ready", small))
                << dpi;
            SelectObject(dc, old);
            ReleaseDC(hwnd, dc);
        }
    })});
    dialog.DoModal();
    EXPECT_FALSE(script.TimedOut());
}

// Several kinds of leftovers make a line too long for the result's panel: it then says how many, and
// Details says what.
TEST_F(EraseDialogsTest, TheResultsLeftLineFitsItsPanel)
{
    CEraseResultDialog result;
    result.tally = EraseTally{4000000000u, 4000000000u, 4000000000u};
    result.left = Leftovers{12, 2, 3, 1};
    result.leftEntries = {{"in use", "a", ""}};
    Texts atFirst;
    ModalScript script({[&] {
        HWND hwnd = FindThreadWindow(kResultTitle);
        if (!hwnd)
            return false;
        for (UINT dpi : {96u, 192u}) {
            RECT suggested{0, 0, MulDiv(300, static_cast<int>(dpi), 96),
                           MulDiv(240, static_cast<int>(dpi), 96)};
            SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            HDC dc = GetDC(hwnd);
            const Texts lines = result.FittedResultLines(dc);
            HGDIOBJ old = SelectObject(dc, result.TextFont());
            for (const std::string& line : lines)
                EXPECT_LE(TextWidth(dc, line), result.TextWidth()) << line << " at " << dpi;
            SelectObject(dc, old);
            ReleaseDC(hwnd, dc);
            EXPECT_EQ(lines.back(), "Left: 18 entries, see Details") << dpi;
        }
        PostCommand(hwnd, IDOK);
        return true;
    }});
    result.DoModal();
    EXPECT_FALSE(script.TimedOut());
    const Texts unfitted = CEraseResultDialog::ResultLines({}, Leftovers{12, 2, 3, 1});
    EXPECT_EQ(unfitted[3], "Left: 12 files in use, 2 denied, 3 not removed, 1 refused");
}

// The wheel over the list scrolls it while a button has the focus: the button hands the wheel to the
// dialog, as the system does for a control that does not scroll.
TEST_F(EraseDialogsTest, TheWheelOverTheListScrollsItWhereverTheFocusIs)
{
    std::map<std::string, bool> selection;
    for (int i = 0; i < 30; ++i) {
        const std::string id = "i" + std::to_string(10 + i);
        AddItem(id + ".aep", id, "Item " + id);
        selection[id] = true;
    }
    WriteConfig(selection);
    int top = -1;
    ModalScript script({PressWhenOpen(IDOK, [&](HWND hwnd) {
        HWND button = GetDlgItem(hwnd, IDC_START_ERASE);
        SetFocus(button);
        RECT list{};
        GetWindowRect(GetDlgItem(hwnd, IDC_CHECK_LIST), &list);
        const POINT over{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
        SendMessageW(button, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                     MAKELPARAM(over.x, over.y));
        top = dialog.List().View().TopRow();
    })});
    dialog.DoModal();
    EXPECT_FALSE(script.TimedOut());
    EXPECT_GT(top, 0);
}

// Stop ends the run after the entry being erased: the statistics and the record file hold exactly what
// went, and the items after it are marked as not reached. Item A's second folder is never reached.
TEST_F(EraseDialogsTest, AStoppedRunStoresExactlyWhatItErased)
{
    AddItem("1.aep", "a", "Item A");
    WriteFile("plugin\\1.aep", Replaced(ReadFile("plugin\\1.aep"), "</item>",
                                        "</item><item>" + PathOf("more\\*.tmp") + "</item>"));
    MakeFolder("more");
    for (int i = 0; i < 30; ++i)
        WriteFile("more\\" + std::to_string(i) + ".tmp", "x");
    AddItem("2.aep", "b", "Item B");
    WriteConfig({{"a", true}, {"b", true}});
    StoppingHooks stopping;
    dialog.hooks = &stopping;
    std::string secondRow;
    ModalScript script({PressWhenOpen(IDC_START_ERASE, [&](HWND hwnd) { stopping.dialog = hwnd; }),
                        CloseResult([&](HWND) { secondRow = dialog.List().GetItemDetail(1); })});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(dialog.Status(), "Stopped");
    int left = 0;
    for (const char* name : {"one", "two"})
        left += Exists(std::string("a\\") + name + ".tmp");
    for (int i = 0; i < 30; ++i)
        left += Exists("more\\" + std::to_string(i) + ".tmp");
    EXPECT_GT(left, 0) << "stopped in the middle of the item";
    const unsigned gone = 32u - static_cast<unsigned>(left);
    EXPECT_EQ(dialog.Tally().filesErased, gone);
    EXPECT_EQ(ProcessStatistics().filesErased, gone);
    RegKey key;
    uint64_t stored = 0;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryCount(stored, "Erased File Num"), ERROR_SUCCESS);
    EXPECT_EQ(stored, gone);
    EXPECT_TRUE(ItemUntouched("b"));
    EXPECT_EQ(secondRow, "not reached");
    EXPECT_EQ(RecordMessages(), (Texts{"Item A stopped", "Item B not reached"}));
    EXPECT_EQ(stopping.events, (Texts{"execute a"})) << "no pause after a stop";
}

// During a run Escape asks first; "Yes" stops it as the Stop button does.
TEST_F(EraseDialogsTest, EscapeDuringARunAsksBeforeStopping)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "b", "Item B");
    WriteConfig({{"a", true}, {"b", true}});
    int asked = 0;
    dialog.askToStop = [&](HWND) { return ++asked == 1; };
    HWND window = nullptr;
    hooks.onExecute = [&] { SendMessageW(window, WM_COMMAND, IDCANCEL, 0); };
    ModalScript script({PressWhenOpen(IDC_START_ERASE, [&](HWND hwnd) { window = hwnd; }), CloseResult()});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ItemUntouched("a") && ItemUntouched("b"));
    EXPECT_EQ(RecordMessages(), (Texts{"Item A stopped", "Item B not reached"}));
}

// A double click on a row lists what vestrel-cli preview lists for the item, line for line; the row's
// count says what would fail.
TEST_F(EraseDialogsTest, ShowFilesListsWhatTheCliPreviewLists)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    UniqueHandle held(CreateFileW(ToWide(PathOf("a\\one.tmp")).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    std::string cli;
    CliStreams capture{[&](std::string_view text) { cli += text; }, [](std::string_view) {}};
    CliProgram(Setup(), capture, [] { return uint64_t{0}; }).Run({"preview", "a"});
    std::string shown = "Item A [a]\n";
    std::string count;
    dialog.showFiles = [&](HWND, const std::string&, const ItemPreview& preview) {
        for (const CEntryListDialog::Row& row : CItemFilesDialog::Rows(*preview.report))
            shown += Format("  %-11s %12s  ", row[0].c_str(), row[1].c_str()) + row[2] + "\n";
    };
    ModalScript script({[&] {
        if (dialog.CurrentPhase() != CEraseProgressDialog::Phase::Ready)
            return false;
        count = dialog.List().GetItemDetail(0);
        SendMessageW(dialog.List().View().GetHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, 5));
        PostCommand(FindThreadWindow(kProgressTitle), IDOK);
        return true;
    }});
    dialog.DoModal();
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(count, "1 file, 1 KB, 1 would fail");
    EXPECT_NE(shown.find("would fail"), std::string::npos);
    EXPECT_EQ(cli.substr(cli.find("Item A"), shown.size()), shown);
}

// What Was Left copies every line, and grows with its window.
TEST_F(EraseDialogsTest, WhatWasLeftCopiesEveryLineAndResizes)
{
    CEraseDetailsDialog details({{"in use", "c:\\a\\one.tmp", "used by another process"},
                                 {"refused", "c:\\windows", "a drive root or protected folder"}});
    std::string copied;
    LONG grownBy = 0;
    LRESULT corner = 0;
    ModalScript script({[&] {
        HWND hwnd = FindThreadWindow(CEraseDetailsDialog::kTitle);
        if (!hwnd)
            return false;
        SendMessageW(GetDlgItem(hwnd, IDC_DETAILS_COPY), BM_CLICK, 0, 0);
        if (OpenClipboard(hwnd)) {
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            if (auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
                copied = ToUtf8(text);
                GlobalUnlock(data);
            }
            CloseClipboard();
        }
        RECT window{};
        GetWindowRect(hwnd, &window);
        corner = SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(window.right - 2, window.bottom - 2));
        const RECT before = ControlRect(hwnd, IDC_DETAILS_LIST);
        SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 50,
                     SWP_NOMOVE | SWP_NOZORDER);
        const RECT after = ControlRect(hwnd, IDC_DETAILS_LIST);
        grownBy = (after.right - after.left) - (before.right - before.left);
        PostCommand(hwnd, IDOK);
        return true;
    }});
    details.DoModal();
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(copied, "in use\tc:\\a\\one.tmp\tused by another process\r\n"
                      "refused\tc:\\windows\ta drive root or protected folder\r\n");
    EXPECT_EQ(corner, HTBOTTOMRIGHT);
    EXPECT_EQ(grownBy, 100);
}

// A 20,000-file cache moves the bar while it goes; an item that counted nothing moves it by one step.
TEST(EraseBarTest, TheBarFollowsTheFilesAndBytesEachItemCounted)
{
    ItemPreview cache;
    cache.tally.filesErased = 20000;
    cache.tally.bytesReleased = 400000000;
    std::vector<std::optional<ItemPreview>> previews{cache, ItemPreview{}, std::nullopt};
    const int steps = CEraseProgressDialog::kBarSteps;
    EraseTally half;
    half.filesErased = 10000;
    half.bytesReleased = 200000000;
    EXPECT_EQ(CEraseProgressDialog::BarPosition(previews, 0, {}), 0);
    EXPECT_EQ(CEraseProgressDialog::BarPosition(previews, 0, half), steps * 10000 / 20003);
    EXPECT_EQ(CEraseProgressDialog::BarPosition(previews, 1, {}), steps * 20001 / 20003);
    EXPECT_EQ(CEraseProgressDialog::BarPosition(previews, 2, {}), steps * 20002 / 20003);
    EXPECT_EQ(CEraseProgressDialog::BarPosition(previews, 3, {}), steps);
}

// A wipe of 2 GB of free space weighs the time it takes beside an item of 100 files, and moves the bar
// with the bytes it has written, which it tells as bytes handled.
TEST(EraseBarTest, AWipeMovesTheBarWithTheFreeSpaceWritten)
{
    ItemPreview files;
    files.tally.filesErased = 100;
    ItemPreview wipe;
    wipe.freeSpace = 2ull << 30;
    std::vector<std::optional<ItemPreview>> previews{files, wipe};
    const int steps = CEraseProgressDialog::kBarSteps;
    EraseTally written;
    written.bytesReleased = 1ull << 30;
    const int start = CEraseProgressDialog::BarPosition(previews, 1, {});
    EXPECT_LT(start, steps / 100);
    EXPECT_NEAR(CEraseProgressDialog::BarPosition(previews, 1, written), (start + steps) / 2, 2);
    EXPECT_EQ(CEraseProgressDialog::BarPosition(previews, 2, {}), steps);
}

// The erase window opens exactly over the main window, whatever the scale.
TEST_F(EraseDialogsTest, OpensExactlyOverTheMainWindow)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 123, 77, 370, 450, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    RECT place{};
    ModalScript script({PressWhenOpen(IDOK, [&](HWND hwnd) { GetWindowRect(hwnd, &place); })});
    dialog.DoModal(owner);
    DestroyWindow(owner);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(place.left, 123);
    EXPECT_EQ(place.top, 77);
}

} // namespace
