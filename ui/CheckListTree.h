#pragma once

#include "ui/CheckListItem.h"

#include <memory>
#include <string>
#include <vector>

// The rows of a check list as a forest, with the flat numbering every index refers to: depth first, each
// parent before its children. Of these, the rows shown are those below no folded row and kept by the
// filter; a view numbers them by position. Knows the tri-state rules; knows nothing of windows.
class CheckListTree {
public:
    // Appends the row to its parent's children, or to the top level when it has none.
    CheckListItem& Add(std::unique_ptr<CheckListItem> item);
    void Clear();

    int Count() const { return static_cast<int>(Numbered().size()); }
    // Null when no row has the index.
    CheckListItem* At(int index) const;
    // -1 for a row not in the tree.
    int IndexOf(const CheckListItem* item) const;
    CheckListItem* FindByData(int data) const;
    // Null when no row has the id.
    CheckListItem* FindById(int id) const;
    const std::vector<CheckListItem*>& Rows() const { return Numbered(); }
    int MaxExtent() const { return maxExtent_; }
    // After the rows' extents were measured anew.
    void RemeasureExtent();

    int ShownCount() const;
    // Null when no shown row has the position.
    CheckListItem* ShownAt(int position) const;
    // A folded row hides the rows below it, except while the filter is on: then every kept row shows.
    void SetFolded(CheckListItem& item, bool folded);
    // Unfolds every row above the row, so that it shows.
    void Reveal(CheckListItem& item);
    // Keeps the rows whose text, with the texts of the rows above them below the top level, holds every
    // word of the text (in any case), and the rows above those; an empty text keeps every row.
    void SetFilter(const std::string& text);
    bool IsFiltered() const { return !filterWords_.empty(); }
    // In lower case as the system's case rules have it, for names in any script.
    static std::string LowerText(const std::string& text);

    // Gives every descendant of the row the state, except locked or filtered-out ones and the rows below
    // them.
    static void SetDescendants(CheckListItem& item, int state);
    // What a toggle of its box gives the row: unchecked becomes checked; checked and middle become
    // unchecked, unless only locked rows below are ticked: then checked, or a group with a locked ticked
    // row could never tick the others.
    static int ToggledState(const CheckListItem& item);
    // Whether some descendant that is not locked, nor below a locked row, is checked or middle.
    static bool HasFreeTickedDescendant(const CheckListItem& item);
    // Sets each ancestor from its children, nearest first, and returns the ancestors in that order: checked
    // when every child is, unchecked when every child is, else middle.
    static std::vector<CheckListItem*> UpdateAncestors(CheckListItem& item);
    // Sets every row that has children from them, the lowest first.
    void UpdateAllParents();

private:
    const std::vector<CheckListItem*>& Numbered() const;
    bool EndsWithin(const CheckListItem* parent) const;
    void NumberLast(CheckListItem& item);
    void Number(CheckListItem& item, bool shown) const;
    bool Filter(CheckListItem& item, const std::string& inherited);

    std::vector<std::unique_ptr<CheckListItem>> topLevel_;
    // Rebuilt when asked for after a change other than a row added last.
    mutable std::vector<CheckListItem*> rows_; // in index order
    mutable std::vector<CheckListItem*> shown_;
    mutable bool numbered_ = true;
    std::vector<std::string> filterWords_; // lower case
    int maxExtent_ = 0;
    int lastId_ = 0; // not reset by Clear, so a reader holding an old id never meets a new row by it
};
