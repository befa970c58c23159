#pragma once

#include "framework/Window.h"

#include <string>

// A tooltip control with one tool: a control whose mouse messages its owner relays. The tooltip goes with
// the control's top-level window, or with this object, whichever is first.
class CToolTip : public Window {
public:
    CToolTip() = default;
    ~CToolTip() override;

    bool Create(HWND tool, const std::string& text);
    void SetText(const std::string& text);
    void Relay(HWND tool, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND tool_ = nullptr;
};
