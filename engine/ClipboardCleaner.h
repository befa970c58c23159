#pragma once

// Empties the clipboard; false when another program kept it open. The clipboard history of Windows 10
// and 11 is not touched: Win32 offers no call for it.
bool EmptyTheClipboard();
