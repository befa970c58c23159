#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Runs a test's steps from inside whatever modal loop the thread is in (a dialog, a nested dialog, a popup
// menu), one attempt per tick of a thread timer. A step returns false to be tried again at the next tick and
// true to move on. Once the deadline passes, every dialog of the thread is ended with kTimedOut and any menu
// is closed, so a failing test cannot hang.
class ModalScript {
public:
    using Step = std::function<bool()>;
    static constexpr INT_PTR kTimedOut = -2;

    explicit ModalScript(std::vector<Step> steps, DWORD deadlineMs = 20000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void GiveUp();

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD start_;
    DWORD deadlineMs_;
    bool timedOut_ = false;
    bool inStep_ = false;
    UINT_PTR timer_;
};

// A visible top-level window of this thread with exactly this title, or null.
HWND FindThreadWindow(const std::string& title);
// A click on a dialog's button, as its owner sees it; posted, so the step returns first.
void PostCommand(HWND dialog, int id);
