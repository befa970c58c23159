#include "engine/cleaners/ClipboardCleaner.h"

#include "framework/Owners.h"

#include <windows.h>
#include <inspectable.h>
#include <winstring.h>

namespace {

// Windows.ApplicationModel.DataTransfer.IClipboardStatics2, as far as its second method; the rest of it
// is never called.
struct IClipboardStatics2 : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetHistoryItemsAsync(void** operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearHistory(boolean* cleared) = 0;
};
constexpr IID kClipboardStatics2 = {
    0xd2ac1b6a, 0xd29f, 0x554b, {0xb3, 0x03, 0xf0, 0x45, 0x23, 0x45, 0xfe, 0x02}};
constexpr wchar_t kClipboardClass[] = L"Windows.ApplicationModel.DataTransfer.Clipboard";

using GetFactory = HRESULT(WINAPI*)(HSTRING, REFIID, void**);
using MakeStringReference = HRESULT(WINAPI*)(PCWSTR, UINT32, HSTRING_HEADER*, HSTRING*);

// Reached at run time: combase.dll and the class exist only on Windows 8 and 10 onwards.
ComPtr<IClipboardStatics2> ClipboardStatics()
{
    HMODULE combase = GetModuleHandleW(L"combase.dll");
    if (!combase)
        combase = LoadLibraryExW(L"combase.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!combase)
        return {};
    auto getFactory = reinterpret_cast<GetFactory>(
        reinterpret_cast<void*>(GetProcAddress(combase, "RoGetActivationFactory")));
    auto makeReference = reinterpret_cast<MakeStringReference>(
        reinterpret_cast<void*>(GetProcAddress(combase, "WindowsCreateStringReference")));
    HSTRING_HEADER header;
    HSTRING name = nullptr;
    void* statics = nullptr;
    if (!getFactory || !makeReference ||
        FAILED(makeReference(kClipboardClass, ARRAYSIZE(kClipboardClass) - 1, &header, &name)) ||
        FAILED(getFactory(name, kClipboardStatics2, &statics)))
        return {};
    return ComPtr<IClipboardStatics2>(static_cast<IClipboardStatics2*>(statics));
}

} // namespace

bool EmptyTheClipboard()
{
    // A program that is copying holds the clipboard for a moment; try again briefly, never for long.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(nullptr)) {
            bool emptied = EmptyClipboard() != FALSE;
            CloseClipboard();
            return emptied;
        }
        Sleep(20);
    }
    return false;
}

ClipboardHistoryResult ClearClipboardHistory()
{
    ComInit com;
    ComPtr<IClipboardStatics2> statics = ClipboardStatics();
    if (!statics)
        return ClipboardHistoryResult::NotAvailable;
    // False when the history is turned off: then there is none to clear.
    boolean cleared = false;
    return SUCCEEDED(statics->ClearHistory(&cleared)) ? ClipboardHistoryResult::Cleared
                                                      : ClipboardHistoryResult::Failed;
}
