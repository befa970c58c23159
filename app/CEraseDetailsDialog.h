#pragma once
#include "framework/Dialog.h"

#include <string>
#include <vector>

// Lists what a run could not remove, one "path: reason" line each, for the user to look into.
class CEraseDetailsDialog : public Dialog {
public:
    static constexpr char kTitle[] = "Vestrel - What Was Left";

    CEraseDetailsDialog();

    // Input, filled before DoModal.
    std::vector<std::string> lines;

private:
    bool OnInitDialog() override;
};
