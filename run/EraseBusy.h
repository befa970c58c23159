#pragma once

// Whether an erase run is active. The schedule starts no run while it is. Every run of the window, Erase Now
// and the silent ones alike, works on the worker's thread while the window's thread asks, so the flag is
// atomic.
bool IsEraseBusy();

// Marks a run as active for its lifetime and puts the flag back however the run ends, a failing item
// included. Scopes nest: the window's thread holds one from a silent run's start to its end, and the run
// on the worker's thread its own inside it.
class EraseBusyScope {
public:
    EraseBusyScope();
    ~EraseBusyScope();
    EraseBusyScope(const EraseBusyScope&) = delete;
    EraseBusyScope& operator=(const EraseBusyScope&) = delete;

private:
    bool wasBusy_;
};
