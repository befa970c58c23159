#include "ui/CFilterEdit.h"

#include "framework/Utf8.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CFilterEdit, Window)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_CHAR, OnChar)
    ON_REFLECTED(WM_COMMAND, OnCommand)
END_MESSAGE_MAP()

bool CFilterEdit::Create(HWND parent, UINT id, HFONT font)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                                nullptr);
    if (!edit || !Subclass(edit)) {
        if (edit)
            DestroyWindow(edit);
        return false;
    }
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(edit, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(L"Filter: words in the names (Esc ends)"));
    return true;
}

std::string CFilterEdit::Text() const
{
    const int length = GetWindowTextLengthW(GetHwnd());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(GetHwnd(), text.data(), length + 1)));
    return ToUtf8(text);
}

LRESULT CFilterEdit::OnGetDlgCode(WPARAM, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    LRESULT code = Default();
    if (message && message->message == WM_KEYDOWN && IsOwnKey(message->wParam))
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CFilterEdit::OnKeyDown(WPARAM key, LPARAM)
{
    if (!IsOwnKey(key))
        return Default();
    if (onKey)
        onKey(static_cast<UINT>(key));
    return 0;
}

// The characters of Escape and Enter would only beep in a one-line field.
LRESULT CFilterEdit::OnChar(WPARAM code, LPARAM)
{
    return code == 0x1B || code == L'\r' ? 0 : Default();
}

LRESULT CFilterEdit::OnCommand(WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) == EN_CHANGE && onChange)
        onChange();
    return 0;
}
