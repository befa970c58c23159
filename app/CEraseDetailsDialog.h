#pragma once
#include "app/CEntryListDialog.h"
#include "run/EraseCounter.h"

#include <vector>

// Lists what a run could not remove, one line each with why, where and the system's words, for the user
// to look into or copy.
class CEraseDetailsDialog : public CEntryListDialog {
public:
    static constexpr char kTitle[] = "Vestrel - What Was Left";

    explicit CEraseDetailsDialog(const std::vector<LeftEntry>& entries);

    // One row per entry: why, where, the system's words.
    static std::vector<Row> Rows(const std::vector<LeftEntry>& entries);
};
