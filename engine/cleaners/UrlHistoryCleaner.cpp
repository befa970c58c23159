#include "engine/cleaners/UrlHistoryCleaner.h"

#include "framework/Owners.h"

#include <windows.h>
#include <ole2.h>
#include <urlhist.h>

namespace {

// Spelled out here so the cleaner does not depend on which GUIDs the import libraries carry.
const CLSID kUrlHistoryClass = {0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID kUrlHistoryStg2 = {0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

} // namespace

void ClearUrlHistory()
{
    // A thread that already has COM in another apartment model can still create the object.
    ComInit com;
    ComPtr<IUrlHistoryStg2> history;
    HRESULT created =
        CoCreateInstance(kUrlHistoryClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                         kUrlHistoryStg2, reinterpret_cast<void**>(history.put()));
    if (SUCCEEDED(created) && history)
        history->ClearHistory();
}
