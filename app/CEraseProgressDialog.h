#pragma once
#include "run/EraseBusy.h"
#include "run/EraseRunHooks.h"
#include "run/EraseRunSetup.h"
#include "run/EraseWorker.h"
#include "run/ItemPreview.h"
#include "engine/EraseTally.h"
#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "settings/Settings.h"
#include "ui/CCheckListCtrl.h"
#include "ui/CPercentProgressCtrl.h"
#include "ui/CTextPanel.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "ui/WaitCursor.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The erase progress dialog: lists the items a run would erase and counts, row by row, what each would
// remove; under the list it explains the selected row, and "Show Files" (or a double click) lists what
// the row counted. "Erase" (or Enter) runs them away from the dialog's thread, ticking each row and moving
// the bar with the work counted, stores the run's sum in the statistics and then shows the result. During
// the run "Erase" becomes "Stop", and Escape or the close box ask before stopping; a stopped run stores
// what it erased. Before the run "Cancel", Escape and the close box leave without a run and store nothing;
// either way the caller reloads the statistics it shows.
class CEraseProgressDialog : public CSkinDialog {
public:
    // The window's name, which no caption shows; it names the window to the system and to tests.
    static constexpr char kTitle[] = "Vestrel Erase";

    enum class Phase { Counting, Ready, Nothing, Running, Finished };

    CEraseProgressDialog();
    ~CEraseProgressDialog() override;

    // Inputs, filled before DoModal.
    EraseRunSetup setup = EraseRunSetup::ForProgram();
    EraseRunHooks* hooks = &SystemRunHooks();
    // Asked once the count finds programs that keep items from running: whether to ask them to close.
    std::function<bool(HWND owner, const std::vector<std::string>& programs)> askToClose = AskToClosePrograms;

    // Asked when Escape or the close box would end a run: whether to stop it.
    std::function<bool(HWND owner)> askToStop = AskToStop;
    // Opens the list of what a row would remove; tests look at the dialog instead.
    std::function<void(HWND owner, const std::string& name, const ItemPreview& preview)> showFiles =
        ShowFiles;

    // "Edge is running: its items will be skipped. Close Edge now? ...", Yes or No.
    static bool AskToClosePrograms(HWND owner, const std::vector<std::string>& programs);
    // "Stop erasing? What was erased stays erased.", Yes or No.
    static bool AskToStop(HWND owner);
    static void ShowFiles(HWND owner, const std::string& name, const ItemPreview& preview);
    // "Edge", "Chrome and Edge", "Brave, Chrome and Edge".
    static std::string NamesText(const std::vector<std::string>& names);

    // What the dialog shows.
    int SelectedCount() const { return selectedCount_; }
    Phase CurrentPhase() const { return phase_; }
    const std::string& Status() const { return status_; }
    const EraseTally& Tally() const { return tally_; }
    const CCheckListCtrl& List() const { return list_; }
    const CPercentProgressCtrl& Bar() const { return bar_; }
    // Each listed item's count, once it has been counted.
    const std::vector<std::optional<ItemPreview>>& Previews() const { return previews_; }
    // What the panel under the list says of the selected row: the plug-in's description, then its warning.
    std::string Explanation() const;

    // The bar's steps, and where it stands with `done` items erased and `current` removed of the next:
    // each item weighs one step more than the files and registry entries its preview counted (a wipe of
    // free space as many as its bytes take time), and within an item the bar follows its files and bytes.
    static constexpr int kBarSteps = 1000;
    static int BarPosition(const std::vector<std::optional<ItemPreview>>& previews, int done,
                           const EraseTally& current);

    // The two status lines of a run, top to bottom; kilobytes are rounded down.
    static std::vector<std::string> StatusLines(const std::string& status, const EraseTally& tally);
    // The two lines before a run: what the items counted so far would remove.
    static std::vector<std::string> PreviewLines(const std::string& status, const EraseTally& tally);
    // "Success", or how many entries could not be removed.
    static std::string OutcomeStatus(unsigned failures);
    // Whether a line fits the status panel.
    using LineFits = std::function<bool(const std::string&)>;
    // The two lines of a phase as above when they fit the panel; otherwise shorter wording, and the status
    // (an item's name) cut to fit.
    static std::vector<std::string> FittedLines(Phase phase, const std::string& status,
                                                const EraseTally& tally, const LineFits& fits);
    // The width the status lines have on the panel, and their font, at the window's DPI.
    int StatusWidth() const;
    HFONT StatusFont() const { return font_.get(); }
    // Draws the status lines onto the dialog's surface, whose background is already painted.
    void PaintStatus(HDC dc) const;

private:
    bool OnInitDialog() override;
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnPreviewed(WPARAM row, LPARAM);
    LRESULT OnProgress(WPARAM, LPARAM);
    LRESULT OnItemDone(WPARAM doneCount, LPARAM);
    LRESULT OnFinished(WPARAM, LPARAM);
    void OnErase();
    void OnCancelButton() { Leave(IDOK); }
    void OnEscape();
    void OnRowSelected();
    void OnShowFiles();

    void ListItems();
    void ShowRows();
    void AttachButton(CSkinButton& button, int id, const char* tip);
    void PlaceControls();
    void Layout() override;
    void Leave(int result);
    void StartRun();
    void RequestStop();
    void PaintExplanation(HDC dc) const;
    void PlaceOverOwner();
    void OfferToClosePrograms();
    void FinishRun();
    void ShowResult(const EraseWorker::Outcome& outcome);
    void SetStatus(std::string status);
    void InvalidateStatus() const;
    EraseTally PreviewTotal() const;

    int selectedCount_ = 0;
    bool closeOffered_ = false; // once per opening: a second offer after "No" would only nag
    bool stopping_ = false;
    Phase phase_ = Phase::Counting;
    std::string status_;
    int shownItem_ = 0; // the number of the item the status names while it is erased
    EraseTally tally_;
    std::vector<std::string> names_;
    std::vector<std::string> heads_;    // each row's description, from its plug-in file
    std::vector<std::string> warnings_; // each row's caution
    std::vector<std::optional<ItemPreview>> previews_;
    CCheckListCtrl list_;
    CSkinButton showFiles_;
    CSkinButton erase_;
    CSkinButton cancel_;
    CPercentProgressCtrl bar_;
    CTextPanel explanation_; // the selected row's explanation, for screen readers
    GdiObject<HFONT> font_;
    GdiObject<HFONT> explanationFont_;
    std::unique_ptr<EraseWorker> worker_;
    std::optional<EraseBusyScope> busy_;
    std::optional<WaitCursor> waitCursor_;

    DECLARE_MESSAGE_MAP()
};

// "Erase Now" between saving the selection and repainting the statistics: the progress dialog, with or
// without a run, then the statistics read back as stored (the dialog has stored a run's sum itself).
void ShowEraseProgress(HWND owner, const EraseRunSetup& setup = EraseRunSetup::ForProgram(),
                       EraseRunHooks& hooks = SystemRunHooks());
