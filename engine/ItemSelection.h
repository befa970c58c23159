#pragma once
#include <string>

// Which loaded erase items the user has selected, by item id. The program asks its configuration file;
// tests give their own answers.
class ItemSelection {
public:
    virtual ~ItemSelection() = default;
    virtual bool IsSelected(const std::string& id) const = 0;
};
