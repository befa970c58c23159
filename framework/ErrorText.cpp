#include "framework/ErrorText.h"

#include "framework/Utf8.h"

#include <cstdio>
#include <memory>

namespace {

struct LocalFreeDeleter {
    void operator()(wchar_t* text) const { LocalFree(text); }
};

// Codes an interface defines for itself (FACILITY_ITF from 0x200 up) have no system text.
const HRESULT kFirstInterfaceCode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x200);
const HRESULT kLastInterfaceCode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0xFFFF);

std::string FallbackText(HRESULT code)
{
    char text[48];
    if (code >= kFirstInterfaceCode && code <= kLastInterfaceCode)
        std::snprintf(text, sizeof text, "IDispatch error #%d", static_cast<int>(code - kFirstInterfaceCode));
    else
        std::snprintf(text, sizeof text, "Unknown error 0x%0lX", static_cast<unsigned long>(code));
    return text;
}

} // namespace

std::string ErrorText(HRESULT code)
{
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::unique_ptr<wchar_t, LocalFreeDeleter> owner(buffer);
    while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r'))
        --length;
    if (length == 0)
        return FallbackText(code);
    return ToUtf8(std::wstring_view(buffer, length));
}
