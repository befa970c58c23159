#pragma once

#include "ui/CheckListItem.h"

#include <memory>
#include <vector>

// The rows of a check list as a forest, with the flat numbering every index refers to: depth first, each
// parent before its children. Knows the tri-state rules; knows nothing of windows.
class CheckListTree {
public:
    // Appends the row to its parent's children, or to the top level when it has none.
    CheckListItem& Add(std::unique_ptr<CheckListItem> item);
    void Clear();

    int Count() const { return static_cast<int>(rows_.size()); }
    // Null when no row has the index.
    CheckListItem* At(int index) const;
    // -1 for a row not in the tree.
    int IndexOf(const CheckListItem* item) const;
    CheckListItem* FindByData(int data) const;
    const std::vector<CheckListItem*>& Rows() const { return rows_; }
    int MaxExtent() const { return maxExtent_; }
    // After the rows' extents were measured anew.
    void RemeasureExtent();

    // Gives every descendant of the row the state, except locked ones and the rows below them.
    static void SetDescendants(CheckListItem& item, int state);
    // Whether some descendant that is not locked, nor below a locked row, is checked or middle.
    static bool HasFreeTickedDescendant(const CheckListItem& item);
    // Sets each ancestor from its children, nearest first, and returns the ancestors in that order: checked
    // when some child is checked or middle and none unchecked, unchecked when every child is, else middle.
    static std::vector<CheckListItem*> UpdateAncestors(CheckListItem& item);

private:
    void Renumber();
    void Number(CheckListItem& item);

    std::vector<std::unique_ptr<CheckListItem>> topLevel_;
    std::vector<CheckListItem*> rows_; // in index order
    int maxExtent_ = 0;
};
