#pragma once
#include <windows.h>

#include <string_view>

// Writes UTF-8 text to a standard handle. A console gets UTF-16 through WriteConsoleW, which shows
// every character whatever the console's code page; a pipe or a file gets the UTF-8 bytes unchanged.
class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle);

    void Write(std::string_view utf8) const;

private:
    HANDLE handle_; // the process's own standard handle: not ours to close
    bool console_;
};
