#include "engine/ClipboardCleaner.h"

#include <windows.h>

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
