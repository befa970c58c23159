#pragma once
#include <functional>

// What the options dialog needs of the auto-start entry. The application shell owns the entry and hands
// these in, so the settings code does not depend on it.
struct AutoStartOperations {
    std::function<bool()> isEnabled;
    std::function<bool()> enable;
    std::function<bool()> disable;
};
