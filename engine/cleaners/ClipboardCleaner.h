#pragma once

// Empties the clipboard; false when another program kept it open.
bool EmptyTheClipboard();

enum class ClipboardHistoryResult { Cleared, NotAvailable, Failed };

// Clears the clipboard history of Windows 10 (1809) and later (Windows+V), pinned items excepted, as
// Settings does; NotAvailable where this Windows has no clipboard history.
ClipboardHistoryResult ClearClipboardHistory();
