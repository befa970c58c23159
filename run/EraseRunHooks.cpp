#include "run/EraseRunHooks.h"

#include "engine/items/EraseItem.h"

#include <windows.h>
#include <mmsystem.h>

void EraseRunHooks::Execute(EraseItem& item, const EraseContext& context, EraseListener& listener)
{
    item.ExecuteItem(context, EraseOptions{EraseMode::Erase, &listener});
}

void EraseRunHooks::Chime()
{
    // A file name: the system finds it in the Windows media folder.
    sndPlaySoundW(L"chimes.wav", SND_ASYNC);
}

void EraseRunHooks::Pause(unsigned milliseconds)
{
    Sleep(milliseconds);
}

EraseRunHooks& SystemRunHooks()
{
    static EraseRunHooks hooks;
    return hooks;
}
