#pragma once

// Whether an erase run is active. The schedule starts no run while it is. A run works on a thread of its
// own while the window's thread asks, so the flag is atomic.
bool IsEraseBusy();

// Marks a run as active for its lifetime and puts the flag back however the run ends, a failing item
// included.
class EraseBusyScope {
public:
    EraseBusyScope();
    ~EraseBusyScope();
    EraseBusyScope(const EraseBusyScope&) = delete;
    EraseBusyScope& operator=(const EraseBusyScope&) = delete;

private:
    bool wasBusy_;
};
