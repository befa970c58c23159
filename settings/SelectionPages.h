#pragma once
#include <string>
#include <vector>

// What saving the selection needs of the main window's three check lists (pages 1 to 3).
class SelectionPages {
public:
    struct Row {
        std::string id; // the item's: two items may share a name
        int state;      // 0 unchecked, 1 checked, 2 partly checked
    };

    virtual ~SelectionPages() = default;

    // The page shown, or 0 before the first page is shown.
    virtual int CurrentPage() const = 0;
    virtual bool IsModified(int page) const = 0;
    virtual void ClearModified(int page) = 0;
    // The item rows of a page's list, without its "(Select All)" row.
    virtual std::vector<Row> Rows(int page) const = 0;
};
