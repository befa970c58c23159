#pragma once

class EraseItem;
class EraseListener;
struct EraseContext;

// The steps of a run that reach outside it: erasing an item, the chime and the pause between items. These
// are the program's own; tests derive to run without waiting or to make an item fail.
class EraseRunHooks {
public:
    virtual ~EraseRunHooks() = default;

    // The listener hears what the item reaches; the run records its refusals and failed programs through it.
    virtual void Execute(EraseItem& item, const EraseContext& context, EraseListener& listener);
    // Returns at once; the system plays the sound.
    virtual void Chime();
    // Blocks the thread the run is on.
    virtual void Pause(unsigned milliseconds);
};

// The program's hooks, shared by every run.
EraseRunHooks& SystemRunHooks();
