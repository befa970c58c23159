#pragma once

// What a check list's view tells its frame, after the change is made: the view never calls the frame
// itself.
class CheckListViewListener {
public:
    // The current row moved to another row.
    virtual void OnSelectionChanged() = 0;
    virtual void OnRowDoubleClicked() = 0;
    // The view took or lost the keyboard focus.
    virtual void OnFocusChanged(bool focused) = 0;
    // Ctrl+F in the rows.
    virtual void OnFilterAsked() = 0;

protected:
    ~CheckListViewListener() = default;
};
