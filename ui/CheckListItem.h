#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// One row of a check list: a three-state box, a line of text and the rows below it in the tree.
struct CheckListItem {
    enum State : int { Unchecked = 0, Checked = 1, Middle = 2 };

    CheckListItem* parent = nullptr; // none for a top-level row
    int state = Unchecked;
    int extent = 0;    // where the text ends when unscrolled: textWidth + level x cell width + 5
    int textWidth = 0; // in the list's font, measured when the row is added
    int level = 1;     // 1 for a top-level row, one more per ancestor
    bool selected = false;
    int data = 0; // the owner's, never interpreted
    int id = 0;   // given by the list, unique in it for the row's life: what screen readers call the row by
    std::string text;
    std::string detail;      // drawn at the row's right end and never cut, such as a count; "" for none
    int detailWidth = 0;     // in the list's font
    std::string description; // what the row is for, shown in its tooltip before the warning
    std::string warning;     // the owner's caution about the row, shown in its tooltip
    bool locked = false;     // drawn greyed, and no click, key or parent row changes its state
    bool foldable = false;   // shows a fold glyph left of its box; folded, its rows below are not shown
    bool folded = false;
    bool filteredOut = false; // left out by the list's filter: not shown, and no parent row's tick reaches it
    int position = -1;        // among the rows shown, or -1 when it is not shown
    COLORREF textColour = 0;
    COLORREF selectedTextColour = 0;
    COLORREF selectedBackColour = 0;
    std::vector<std::unique_ptr<CheckListItem>> children; // in the order they were added
};
