#pragma once
#include "framework/Owners.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

// A skinned, resizable window that lists entries in columns (what a run left, what an item would remove)
// with Copy and Close. The list asks for its rows as it draws them, so 100,000 entries open at once. Copy
// (the button, or Ctrl+C in the list) puts every line on the clipboard, its columns between tabs.
class CEntryListDialog : public CSkinDialog {
public:
    struct Column {
        std::string title;
        int width = 100; // in 96-DPI pixels; the last column takes the rest of the list's width
        bool right = false;
    };
    using Row = std::vector<std::string>;

    CEntryListDialog();

    // Inputs, filled before DoModal.
    std::string windowName; // names the window to the system and to tests; no caption shows it
    std::string heading;
    std::string subheading;
    std::vector<Column> columns;
    std::vector<Row> rows;

    // Every row as one line, columns between tabs, each line ending in CRLF.
    static std::string CopyText(const std::vector<Row>& rows);
    // Puts the text on the clipboard as Unicode text; false when the clipboard could not be had.
    static bool PutOnClipboard(HWND owner, const std::string& text);

private:
    bool OnInitDialog() override;
    void Layout() override;
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnHitTest(WPARAM, LPARAM);
    LRESULT OnMinMaxInfo(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnNotify(WPARAM, LPARAM);
    void OnCopy();

    void AddColumns();
    // At (left, top) in the window's own pixels.
    void PlaceButton(CSkinButton& button, int left, int top);
    void PaintHeader(HDC dc, const RECT& client) const;
    void FillCell(NMLVDISPINFOW& info);

    HWND list_ = nullptr;
    CSkinButton copy_;
    CSkinButton close_;
    GdiObject<HFONT> headingFont_;
    GdiObject<HFONT> textFont_;

    DECLARE_MESSAGE_MAP()
};
