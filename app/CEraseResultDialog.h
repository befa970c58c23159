#pragma once
#include "engine/EraseTally.h"
#include "framework/Owners.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

#include <string>
#include <vector>

// What one interactive run removed, shown on a skinned 300 x 240 dialog with one Close button.
class CEraseResultDialog : public CSkinDialog {
public:
    // The window's name, which no caption shows; it names the window to the system and to tests.
    static constexpr char kTitle[] = "Vestrel Erase Result";

    CEraseResultDialog();

    // Inputs, filled before DoModal.
    EraseTally tally;
    std::string lastErasedText; // kept with the result, not shown

    // The three lines, top to bottom; kilobytes are rounded down.
    static std::vector<std::string> ResultLines(const EraseTally& tally);
    // Draws the lines onto the dialog's surface, whose background is already painted.
    void PaintResult(HDC dc) const;

private:
    bool OnInitDialog() override;
    LRESULT OnPaint(WPARAM, LPARAM);

    CSkinButton close_;
    GdiObject<HFONT> font_;

    DECLARE_MESSAGE_MAP()
};
