#pragma once
#include "run/EraseCounter.h"
#include "engine/EraseTally.h"
#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

#include <functional>
#include <string>
#include <vector>

// What one interactive run removed, shown on a skinned 300 x 240 dialog with a Close button, and what it
// could not remove with a Details button that lists it.
class CEraseResultDialog : public CSkinDialog {
public:
    // The window's name, which no caption shows; it names the window to the system and to tests.
    static constexpr char kTitle[] = "Vestrel Erase Result";

    CEraseResultDialog();

    // Inputs, filled before DoModal.
    EraseTally tally;
    std::string lastErasedText; // kept with the result, not shown
    Leftovers left;
    std::vector<LeftEntry> leftEntries; // for Details
    bool stopped = false;               // the user stopped the run: the title says so
    int notReached = 0;                 // the items a stopped run did not begin

    // The lines, top to bottom; kilobytes are rounded down. A fourth says what was left, if anything: each
    // kind, or only how many when that line does not fit (fits) under the panel.
    static std::vector<std::string> ResultLines(const EraseTally& tally, const Leftovers& left = {},
                                                const std::function<bool(const std::string&)>& fits = {});
    // The lines as painted, measured in the dialog's font against its panel.
    std::vector<std::string> FittedResultLines(HDC dc) const;
    int TextWidth() const;
    HFONT TextFont() const { return font_.get(); }
    // Draws the lines onto the dialog's surface, whose background is already painted.
    void PaintResult(HDC dc) const;
    // The title a stopped run shows in place of the background's, and the note under its counts when
    // nothing was left.
    static constexpr char kStoppedTitle[] = "Erase stopped";
    static std::string NotReachedText(int notReached);

private:
    bool OnInitDialog() override;
    LRESULT OnPaint(WPARAM, LPARAM);
    void OnDetails();

    void Layout() override;
    void PaintStoppedTitle(HDC dc) const;

    CSkinButton close_;
    CSkinButton details_;
    GdiObject<HFONT> font_;
    GdiObject<HFONT> titleFont_;

    DECLARE_MESSAGE_MAP()
};
