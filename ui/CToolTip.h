#pragma once

#include "framework/Window.h"

#include <string>
#include <vector>

// A tooltip control with one tool: a control whose mouse messages its owner relays, or with areas of a
// window that shows one text over each. The tooltip goes with the tool's top-level window, or with this
// object, whichever is first.
class CToolTip : public Window {
public:
    CToolTip() = default;
    ~CToolTip() override;

    bool Create(HWND tool, const std::string& text);
    // Over the rectangles of the window's client area, which the tooltip watches itself: a disabled control
    // there gets no mouse messages to relay, its parent does.
    bool CreateOverAreas(HWND window, const std::vector<RECT>& areas, const std::string& text);
    void SetText(const std::string& text);
    void Relay(HWND tool, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool CreateWindowFor(HWND owner);

    HWND tool_ = nullptr;
};
