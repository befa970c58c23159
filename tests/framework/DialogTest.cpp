#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/ProgressBar.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr int kFinishId = 100;
constexpr int kButtonId = 101;
constexpr int kProgressId = 102;
constexpr UINT_PTR kDeadlineTimer = 1;
constexpr INT_PTR kTimedOut = -2;

// A dialog template in memory: the header, empty menu and class, the title, then the items, each
// DWORD-aligned.
class MemoryTemplate {
public:
    explicit MemoryTemplate(const wchar_t* title)
    {
        DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 10, 10, 200, 100};
        Append(&header, sizeof(header));
        words_.push_back(0); // no menu
        words_.push_back(0); // the standard dialog class
        AppendString(title);
    }

    void AddItem(const wchar_t* className, DWORD style, WORD id)
    {
        if (words_.size() % 2)
            words_.push_back(0);
        DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | style, 0, 10, 10, 80, 20, id};
        Append(&item, sizeof(item));
        AppendString(className);
        AppendString(L"");   // no text
        words_.push_back(0); // no creation data
        ++reinterpret_cast<DLGTEMPLATE*>(words_.data())->cdit;
    }

    const DLGTEMPLATE& Get() const { return *reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Append(const void* data, size_t size)
    {
        size_t start = words_.size();
        words_.resize(start + size / sizeof(WORD));
        std::memcpy(words_.data() + start, data, size);
    }
    void AppendString(const wchar_t* text)
    {
        do
            words_.push_back(*text);
        while (*text++);
    }

    std::vector<WORD> words_;
};

// Runs a test script from its initialisation; ends itself with kTimedOut if a test never ends it.
class ScriptedDialog : public Dialog {
public:
    using Dialog::Dialog;

    std::function<void(ScriptedDialog&)> script;

private:
    bool OnInitDialog() override
    {
        SetTimer(GetHwnd(), kDeadlineTimer, 5000, nullptr);
        script(*this);
        return true;
    }
    void OnFinish() { EndDialog(42); }
    LRESULT OnAsk(WPARAM, LPARAM) { return 77; }
    LRESULT OnTimer(WPARAM, LPARAM)
    {
        EndDialog(kTimedOut);
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ScriptedDialog, Dialog)
    ON_COMMAND(kFinishId, OnFinish)
    ON_MESSAGE(kAsk, OnAsk)
    ON_MESSAGE(WM_TIMER, OnTimer)
END_MESSAGE_MAP()

void PostCommand(Dialog& dialog, int id)
{
    PostMessageW(dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

class DialogTest : public testing::Test {
protected:
    MemoryTemplate memory{L"test dialog"};
};

TEST_F(DialogTest, PostedCommandEndsTheDialogWithItsResult)
{
    ScriptedDialog dialog(memory.Get());
    dialog.script = [](ScriptedDialog& self) { PostCommand(self, kFinishId); };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
}

// Takes IDCANCEL over from Dialog's own map: only the second cancel ends it.
class KeepOpenDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;

private:
    void OnCancelPressed()
    {
        if (++cancels_ == 2)
            EndDialog(7);
    }

    int cancels_ = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeepOpenDialog, ScriptedDialog)
    ON_COMMAND(IDCANCEL, OnCancelPressed)
END_MESSAGE_MAP()

TEST_F(DialogTest, CancelEndsTheDialogUnlessTheDerivedMapTakesIt)
{
    ScriptedDialog plain(memory.Get());
    plain.script = [](ScriptedDialog& self) { PostCommand(self, IDCANCEL); };
    EXPECT_EQ(plain.DoModal(), IDCANCEL);

    KeepOpenDialog keepOpen(memory.Get());
    keepOpen.script = [](ScriptedDialog& self) {
        PostCommand(self, IDCANCEL);
        PostCommand(self, IDCANCEL);
    };
    EXPECT_EQ(keepOpen.DoModal(), 7);
}

TEST_F(DialogTest, HandlerResultReachesTheSenderAndUnmappedMessagesTheDialogManager)
{
    ScriptedDialog dialog(memory.Get());
    dialog.script = [](ScriptedDialog& self) {
        EXPECT_EQ(SendMessageW(self.GetHwnd(), kAsk, 0, 0), 77);
        SetWindowTextW(self.GetHwnd(), L"renamed");
        wchar_t title[32] = {};
        GetWindowTextW(self.GetHwnd(), title, 32);
        EXPECT_STREQ(title, L"renamed");
        PostCommand(self, kFinishId);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
}

TEST_F(DialogTest, AttachesProgressBarByItsId)
{
    memory.AddItem(PROGRESS_CLASSW, 0, kProgressId);
    ScriptedDialog dialog(memory.Get());
    ProgressBar progress;
    dialog.script = [&progress](ScriptedDialog& self) {
        Button missing;
        EXPECT_FALSE(self.AttachItem(kButtonId, missing));
        ASSERT_TRUE(self.AttachItem(kProgressId, progress));
        progress.SetRange(0, 200);
        progress.SetPos(50);
        EXPECT_EQ(progress.GetPos(), 50);
        EXPECT_EQ(progress.GetRange().iLow, 0);
        EXPECT_EQ(progress.GetRange().iHigh, 200);
        PostCommand(self, kFinishId);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(progress.GetHwnd(), nullptr);
}

// Ends its dialog once the dialog has painted it, which the dialog learns through WM_DRAWITEM.
class SelfDrawnButton : public Button {
    LRESULT OnDrawItem(WPARAM, LPARAM)
    {
        PostMessageW(GetParent(GetHwnd()), WM_COMMAND, MAKEWPARAM(kFinishId, BN_CLICKED), 0);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfDrawnButton, Button)
    ON_REFLECTED(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

TEST_F(DialogTest, OwnerDrawnButtonDrawsItselfThroughReflection)
{
    memory.AddItem(L"BUTTON", BS_OWNERDRAW, kButtonId);
    ScriptedDialog dialog(memory.Get());
    SelfDrawnButton button;
    dialog.script = [&button](ScriptedDialog& self) { ASSERT_TRUE(self.AttachItem(kButtonId, button)); };
    EXPECT_EQ(dialog.DoModal(), 42);
}

TEST_F(DialogTest, MissingTemplateFails)
{
    Dialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

} // namespace
