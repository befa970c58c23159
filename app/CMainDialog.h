#pragma once
#include "engine/items/EraseItemList.h"
#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "run/EraseRunHooks.h"
#include "run/EraseRunSetup.h"
#include "settings/ConfigSelection.h"
#include "settings/SelectionPages.h"
#include "settings/SelectionWriter.h"
#include "ui/CCheckListCtrl.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "ui/CSystemTray.h"
#include "ui/CTextPanel.h"

#include <array>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A row of the main window's buttons' table.
struct MainButton;

// The program's main window: the three pages of erase items, the statistics, and the buttons that start
// everything else. Ending it ends the program.
class CMainDialog : public CSkinDialog, private SelectionPages {
public:
    // Where the window finds its items, selection, record file and settings; the program's own by default.
    explicit CMainDialog(EraseRunSetup setup = EraseRunSetup::ForProgram());

    static constexpr int kPageCount = 3;
    // The caption of the question "Set Default" asks first.
    static constexpr const char* kSetDefaultCaption = "Set Default";

    // What the runs started from the window reach outside themselves; tests put their own.
    EraseRunHooks* hooks = &SystemRunHooks();

    // What the window shows.
    const CCheckListCtrl& PageList(int page) const { return List(page); }
    // The two statistics lines under the lists, top to bottom.
    static std::vector<std::string> StatisticsLines();
    // The lines as painted: shortened where the panel is too narrow for them in the statistics font.
    std::vector<std::string> FittedStatisticsLines(HDC dc) const;
    // Where a control (a button or the lists) lies in the client area at a DPI; empty for another id.
    static RECT ControlRect(int id, const Dpi& dpi);
    // The ids ControlRect places.
    static std::vector<int> PlacedControls();
    static SIZE WindowSize(const Dpi& dpi);

private:
    bool OnInitDialog() override;

    // What saving the selection reads of the lists.
    int CurrentPage() const override { return currentPage_; }
    bool IsModified(int page) const override;
    void ClearModified(int page) override;
    std::vector<Row> Rows(int page) const override;

    LRESULT OnPaint(WPARAM, LPARAM);
    void OnSize(UINT type, SIZE client);
    void OnSysCommand(UINT command);
    LRESULT OnMenuChar(WPARAM key, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    void OnTimer(UINT_PTR timer);
    LRESULT OnHelp(WPARAM, LPARAM);
    LRESULT OnCloseMessage(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    void OnEraseNow();
    void OnOptions();
    void OnSchedule();
    // Registers or removes the task that erases while the program is closed; tells the user of a failure.
    void UpdateEraseTaskOrSay(bool whenClosed) const;
    void OnSetDefault();
    void OnPlugin();
    void OnPluginPage();
    void OnImportRules();
    void OnHelpButton();
    void OnAbout();
    void OnClose();
    void OnMinimize();
    void OnHomePage();
    void OnShowWindow();
    void OnPage1() { ShowPage(1); }
    void OnPage2() { ShowPage(2); }
    void OnPage3() { ShowPage(3); }

    void AddAboutEntry();
    void SetIcons();
    bool CreateLists();
    void FillLists();
    CheckListItem* AddRow(CCheckListCtrl& list, const std::string& text, CheckListItem* parent, int data);
    // The group's row under the page's "(Select All)" row; that row itself when none could be added.
    CheckListItem* AddGroupRow(int page, const std::string& group, CheckListItem* selectAll);
    void AddItemRow(CCheckListCtrl& list, size_t index, CheckListItem* parent, const std::string& group,
                    const ConfigSelection& selection);
    // How the settings name a page's group.
    static std::string GroupKey(int page, const std::string& group);
    void SaveUnfoldedGroups();
    void AttachButtons();
    // The button of the table's row with the id, which every page button has.
    CSkinButton& ButtonOf(int id);
    void ApplyButtonSkins();
    void PlaceControls();
    void PlaceLists();
    void Layout() override;
    // Where the lists lie at the window's DPI: shorter while a line says the organization manages settings.
    RECT ListRect() const;
    void SaveSelection();
    void ShowPage(int page);
    void PaintStatistics(HDC dc) const;
    void RepaintStatistics();
    // A run of the schedule or the start-up, away from the window's thread; the window answers meanwhile
    // but, as under a modal dialog, starts nothing else.
    void RunSilently();
    // The setup with the settings as they are now, for a run.
    EraseRunSetup RunSetup() const;
    // What the window is busy with while it waits; each is open for the life of a ModalScope.
    enum class Modal { Dialog, ClosePrompt, EraseWindow, SilentRun };
    // Marks a modal state for its lifetime. When the outermost ends, a close asked for meanwhile follows.
    class ModalScope {
    public:
        ModalScope(CMainDialog& window, Modal modal);
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        CMainDialog& window_;
    };
    // Runs one of the window's modal dialogs (or a silent run) inside a ModalScope.
    template <typename Show>
    void RunModal(Show show, Modal modal = Modal::Dialog);
    bool IsOpen(Modal modal) const;
    // While a modal dialog is open, the tray's commands bring it to the front instead: true then.
    bool BringModalToFront() const;

    CCheckListCtrl& List(int page) { return lists_[page - 1]; }
    const CCheckListCtrl& List(int page) const { return lists_[page - 1]; }

    EraseRunSetup setup_;
    // The stored selection read for the items at the start; it serves the lists and the first save too,
    // and goes once the first page is shown.
    std::unique_ptr<ConfigSelection> startSelection_;
    std::unique_ptr<EraseItemList> items_;
    SelectionWriter selectionWriter_;
    std::array<CCheckListCtrl, kPageCount> lists_;
    // One per row of the buttons' table, in its order, each with its row.
    struct TableButton {
        const MainButton& row;
        CSkinButton control;
    };
    std::deque<TableButton> buttons_;
    CSystemTray tray_;
    HICON icon_;
    GdiObject<HFONT> statisticsFont_;
    CTextPanel statisticsPanel_; // the statistics lines, for screen readers
    GdiObject<HFONT> managedFont_;
    GdiObject<HFONT> titleFont_;
    int currentPage_ = 0;
    std::set<std::string> unfoldedGroups_; // as stored
    std::vector<Modal> modals_;            // innermost last
    bool closeAfterModal_ = false;

    DECLARE_MESSAGE_MAP()
};
