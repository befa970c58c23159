#include "app/EraseRunHooks.h"

#include "engine/EraseItem.h"

#include <windows.h>
#include <mmsystem.h>

void EraseRunHooks::Execute(EraseItem& item, EraseListener& listener)
{
    item.ExecuteItem(EraseOptions{EraseMode::Erase, &listener});
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
