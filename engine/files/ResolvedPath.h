#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// Calls a Win32 function that fills a buffer and returns the length it needed, growing the buffer; empty
// when the call fails.
template <typename Call>
std::wstring FilledText(Call call)
{
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0)
            return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length + 1);
    }
    return {};
}

// A path in the extended form as the user would write it, without its \\?\ or \\?\UNC\ prefix.
std::string FromExtendedPath(std::wstring_view path);

// The path as the file commands name it: normalised by ToExtendedPath, written without its prefix.
std::string NormalisedPath(const std::string& utf8Path);

// Where an existing file or folder really is when the way to it passes through links, in the extended
// form with long names; empty when it cannot be opened.
std::wstring FinalPathOf(const std::wstring& extendedPath);

// The path with each part spelled as its folder lists it, where that differs from the given part in
// letter case only; a part that is not there, or is named otherwise (a short name, a link followed), stays
// as given. Plug-ins are lower-cased on load, and what is reported should read as the disk holds it.
std::wstring OnDiskSpelling(const std::wstring& extendedPath);

// OnDiskSpelling of a path in whichever form it is written, kept in that form.
std::string SpelledAsOnDisk(const std::string& utf8Path);
