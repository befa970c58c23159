#include "tests/support/ModalScript.h"

#include "framework/Utf8.h"

namespace {

constexpr UINT kTickMs = 20;

// One script runs at a time; a thread timer's procedure has no room for an object of its own.
ModalScript* running = nullptr;

struct WindowSearch {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM search)
{
    auto& wanted = *reinterpret_cast<WindowSearch*>(search);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (IsWindowVisible(hwnd) && wanted.title == text) {
        wanted.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK EndIfDialog(HWND hwnd, LPARAM)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) == L"#32770")
        EndDialog(hwnd, ModalScript::kTimedOut);
    return TRUE;
}

} // namespace

ModalScript::ModalScript(std::vector<Step> steps, DWORD deadlineMs)
    : steps_(std::move(steps)),
      start_(GetTickCount()),
      deadlineMs_(deadlineMs),
      timer_(SetTimer(nullptr, 0, kTickMs, OnTick))
{
    running = this;
}

ModalScript::~ModalScript()
{
    KillTimer(nullptr, timer_);
    running = nullptr;
}

void CALLBACK ModalScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (running)
        running->Tick();
}

void ModalScript::Tick()
{
    // A step that opens a modal loop of its own gets no ticks from inside it.
    if (inStep_ || Finished())
        return;
    if (GetTickCount() - start_ > deadlineMs_) {
        GiveUp();
        return;
    }
    inStep_ = true;
    if (steps_[next_]())
        ++next_;
    inStep_ = false;
}

void ModalScript::GiveUp()
{
    timedOut_ = true;
    next_ = steps_.size();
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), EndIfDialog, 0);
}

HWND FindThreadWindow(const std::string& title)
{
    WindowSearch search{ToWide(title)};
    EnumThreadWindows(GetCurrentThreadId(), MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PostCommand(HWND dialog, int id)
{
    auto control = reinterpret_cast<LPARAM>(GetDlgItem(dialog, id));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), control);
}
