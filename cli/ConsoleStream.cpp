#include "cli/ConsoleStream.h"

#include "framework/Utf8.h"

#include <algorithm>
#include <string>

namespace {

// Consoles have refused single writes of more than about 64 KB.
constexpr size_t kConsoleChunk = 8192;

} // namespace

ConsoleStream::ConsoleStream(DWORD standardHandle) : handle_(GetStdHandle(standardHandle))
{
    DWORD mode;
    console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
}

void ConsoleStream::Write(std::string_view utf8) const
{
    if (!handle_ || handle_ == INVALID_HANDLE_VALUE)
        return;
    if (!console_) {
        DWORD written;
        for (size_t at = 0; at < utf8.size(); at += written) {
            DWORD part = static_cast<DWORD>(std::min<size_t>(utf8.size() - at, 1 << 20));
            if (!WriteFile(handle_, utf8.data() + at, part, &written, nullptr) || written == 0)
                return;
        }
        return;
    }
    std::wstring text = ToWide(utf8);
    for (size_t at = 0; at < text.size();) {
        size_t part = std::min(text.size() - at, kConsoleChunk);
        if (part < text.size() - at && IS_HIGH_SURROGATE(text[at + part - 1]))
            --part; // a pair stays in one write
        DWORD written;
        if (!WriteConsoleW(handle_, text.data() + at, static_cast<DWORD>(part), &written, nullptr))
            return;
        at += part;
    }
}
