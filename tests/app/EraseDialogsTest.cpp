#include "app/CEraseProgressDialog.h"
#include "app/CEraseResultDialog.h"
#include "app/EraseBusy.h"
#include "cli/CliProgram.h"
#include "resource.h"
#include "settings/RegKey.h"
#include "tests/app/EraseRunFixture.h"
#include "tests/support/ModalScript.h"

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

Texts Rows(const CCheckListCtrl& list)
{
    Texts rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        std::string text;
        list.GetItemText(i, text);
        rows.push_back(text + (list.GetCheck(i) == 1 ? " [x]" : " [ ]"));
    }
    return rows;
}

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

TEST_F(EraseDialogsTest, WithoutConfigurationListsNothingAndFinishesWithZeros)
{
    AddItem("1.aep", "a", "Item A");
    bool resultShown = false;
    ModalScript script({PressWhenOpen(IDC_START_ERASE,
                                      [&](HWND) {
                                          EXPECT_EQ(dialog.SelectedCount(), 0);
                                          EXPECT_EQ(dialog.List().GetCount(), 0);
                                          EXPECT_EQ(dialog.Status(), "Ready");
                                      }),
                        CloseResult([&](HWND) {
                            resultShown = true;
                            PBRANGE range = dialog.Bar().GetRange();
                            EXPECT_EQ(range.iLow, 0);
                            EXPECT_EQ(range.iHigh, 0);
                            EXPECT_EQ(dialog.Status(), "Success");
                            EXPECT_FALSE(IsEraseBusy()) << "the busy flag is cleared before the result shows";
                        })});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(resultShown);
    EXPECT_TRUE(hooks.events.empty());
    const EraseTally& tally = dialog.Tally();
    EXPECT_EQ(tally.filesErased + tally.bytesReleased + tally.registryEntriesErased, 0u);
    EXPECT_EQ(ProcessStatistics().lastErasedTime, FixedNow());
    EXPECT_TRUE(ItemUntouched("a"));
}

TEST_F(EraseDialogsTest, OpensSkinnedWithTheControlsInPlace)
{
    ModalScript script({PressWhenOpen(IDOK, [](HWND hwnd) {
        SIZE size = WindowSize(hwnd);
        EXPECT_EQ(size.cx, 370);
        EXPECT_EQ(size.cy, 450);
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_START_ERASE), RECT{112, 410, 196, 435}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDOK), RECT{230, 410, 314, 435}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_PROGRESS_BAR), RECT{30, 331, 341, 341}));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_CHECK_LIST), RECT{46, 84, 320, 318}));
        EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
    })});
    dialog.DoModal();
    EXPECT_FALSE(script.TimedOut());
}

TEST_F(EraseDialogsTest, CancelAndEnterCloseWithoutARun)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    auto enter = [](HWND hwnd) { PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_RETURN, 0); };
    for (int way = 0; way < 2; ++way) {
        CEraseProgressDialog progress;
        progress.setup = Setup();
        progress.hooks = &hooks;
        ModalScript script({[&] {
            HWND hwnd = FindThreadWindow(kProgressTitle);
            if (!hwnd)
                return false;
            if (way == 0)
                PostCommand(hwnd, IDOK);
            else
                enter(hwnd);
            return true;
        }});
        EXPECT_EQ(progress.DoModal(), IDOK);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(progress.Status(), "Ready") << (way ? "Enter" : "Cancel");
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
        DWORD value = 0;
        EXPECT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
        EXPECT_EQ(key.QueryDword(value, name), ERROR_SUCCESS);
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

TEST_F(EraseDialogsTest, EscapeStartsTheRun)
{
    AddItem("1.aep", "a", "Item A");
    WriteConfig({{"a", true}});
    ModalScript script({[&] {
                            HWND hwnd = FindThreadWindow(kProgressTitle);
                            if (!hwnd)
                                return false;
                            PostMessageW(GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
                            return true;
                        },
                        CloseResult()});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(hooks.events, (Texts{"execute a", "pause 1000"}));
}

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
    hooks.onExecute = [&] {
        EXPECT_TRUE(IsEraseBusy());
        EXPECT_EQ(GetCursor(), wait);
    };
    hooks.onPause = [&] {
        Texts rows = Rows(dialog.List());
        duringRun.push_back(rows[0] + ", " + rows[1] + ", bar " + std::to_string(dialog.Bar().GetPos()));
        EXPECT_EQ(dialog.Status(), "Ready") << "the status shows the outcome only at the end";
    };
    EraseTally shown{};
    ModalScript script({PressWhenOpen(IDC_START_ERASE,
                                      [&](HWND) {
                                          EXPECT_EQ(dialog.SelectedCount(), 2);
                                          EXPECT_EQ(Rows(dialog.List()), (Texts{"Item A [ ]", "Item B [ ]"}));
                                      }),
                        CloseResult([&](HWND) {
                            shown = dialog.Tally();
                            EXPECT_EQ(GetCursor(), arrow);
                            PBRANGE range = dialog.Bar().GetRange();
                            EXPECT_EQ(range.iHigh, 2);
                            EXPECT_FALSE(dialog.Bar().Look().showPercent);
                        })});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(duringRun, (Texts{"Item A [x], Item B [ ], bar 1", "Item A [x], Item B [x], bar 2"}));
    EXPECT_EQ(hooks.events, (Texts{"execute a", "pause 400", "execute b", "pause 400"}));
    EXPECT_EQ(shown.filesErased, 4u);
    EXPECT_EQ(shown.bytesReleased, 6000u);
    EXPECT_TRUE(ItemErased("a") && ItemErased("b") && ItemUntouched("skipped") && ItemUntouched("broken"));
    EXPECT_EQ(ProcessStatistics().filesErased, 4u);
    EXPECT_EQ(ProcessStatistics().lastErasedText, ExpectedLastErasedText());
    EXPECT_EQ(RecordMessages(), (Texts{"Item A done...", "Item B done..."}));
    EXPECT_FALSE(IsEraseBusy());
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

TEST_F(EraseDialogsTest, KilobytesAreRoundedDown)
{
    EXPECT_EQ(CEraseResultDialog::ResultLines(EraseTally{3, 1023, 4}),
              (Texts{"Released HD Space: 0 KB; ", "Files Erased: 3;", "Registry Keys Erased: 4"}));
    EXPECT_EQ(CEraseResultDialog::ResultLines(EraseTally{0, 2048, 0})[0], "Released HD Space: 2 KB; ");
    EXPECT_EQ(CEraseProgressDialog::StatusLines("Ready", EraseTally{5, 2047, 6}),
              (Texts{"Status: Ready;  Released HD Space: 1 KB; ",
                     "Files Erased: 5, Registry Keys Erased: 6"}));
    EXPECT_EQ(CEraseProgressDialog::StatusLines("Success", EraseTally{0, 0xFFFFFFFFu, 0})[0],
              "Status: Success;  Released HD Space: 4194303 KB; ");
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

} // namespace
