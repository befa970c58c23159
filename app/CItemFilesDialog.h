#pragma once
#include "app/CEntryListDialog.h"
#include "run/ItemPreview.h"

#include <vector>

// What one item of the erase dialog would remove, as vestrel-cli preview lists it: every file with its
// size, every key and value, what would fail, what is refused and what cannot be counted.
class CItemFilesDialog : public CEntryListDialog {
public:
    static constexpr char kTitle[] = "Vestrel - Show Files";

    CItemFilesDialog(const std::string& itemName, const ItemPreview& preview);

    // One row per line of the preview: kind, size, what.
    static std::vector<Row> Rows(const ItemReport& report);
};
