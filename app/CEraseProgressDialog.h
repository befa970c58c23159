#pragma once
#include "app/EraseRunHooks.h"
#include "app/EraseRunSetup.h"
#include "engine/EraseTally.h"
#include "framework/Owners.h"
#include "ui/CCheckListCtrl.h"
#include "ui/CPercentProgressCtrl.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

#include <string>
#include <vector>

// The erase progress dialog: lists the items a run would erase, and on "Erase" (or Escape) runs them,
// ticking each row and moving the bar, then shows the result. "Cancel" (or Enter) closes it without a run.
// Either way the caller stores the statistics afterwards.
class CEraseProgressDialog : public CSkinDialog {
public:
    // The window's name, which no caption shows; it names the window to the system and to tests.
    static constexpr char kTitle[] = "Vestrel Erase";

    CEraseProgressDialog();

    // Inputs, filled before DoModal.
    EraseRunSetup setup = EraseRunSetup::ForProgram();
    EraseRunHooks* hooks = &SystemRunHooks();

    // What the dialog shows.
    int SelectedCount() const { return selectedCount_; }
    const std::string& Status() const { return status_; }
    const EraseTally& Tally() const { return tally_; }
    const CCheckListCtrl& List() const { return list_; }
    const CPercentProgressCtrl& Bar() const { return bar_; }

    // The two status lines, top to bottom; kilobytes are rounded down.
    static std::vector<std::string> StatusLines(const std::string& status, const EraseTally& tally);
    // Draws the status lines onto the dialog's surface, whose background is already painted.
    void PaintStatus(HDC dc) const;

private:
    bool OnInitDialog() override;
    LRESULT OnPaint(WPARAM, LPARAM);
    void OnErase();

    void ListItems();
    void SkinButton(CSkinButton& button, int id, const char* tip, const RECT& place);
    void RunInteractiveErase();
    void ShowItemDone(int doneCount);

    int selectedCount_ = 0;
    std::string status_;
    EraseTally tally_;
    CCheckListCtrl list_;
    CSkinButton erase_;
    CSkinButton cancel_;
    CPercentProgressCtrl bar_;
    GdiObject<HFONT> font_;

    DECLARE_MESSAGE_MAP()
};

// "Erase Now" between saving the selection and repainting the statistics: the progress dialog, with or
// without a run, then the statistics stored, also when no run took place.
void ShowEraseProgress(HWND owner, const EraseRunSetup& setup = EraseRunSetup::ForProgram(),
                       EraseRunHooks& hooks = SystemRunHooks());
