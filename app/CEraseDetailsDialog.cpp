#include "app/CEraseDetailsDialog.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "resource.h"

#include <algorithm>

CEraseDetailsDialog::CEraseDetailsDialog() : Dialog(IDD_ERASE_DETAILS) {}

bool CEraseDetailsDialog::OnInitDialog()
{
    HWND list = GetItem(IDC_DETAILS_LIST);
    WindowDC dc(list);
    SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::string& line : lines) {
        std::wstring text = ToWide(line);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    // Long paths scroll sideways rather than being cut.
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    return true;
}
