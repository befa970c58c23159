#pragma once

#include "ui/WindowAccessible.h"

// A text panel as a screen reader reads it: static text whose name is the text. The panel clears the back
// pointer when its window goes.
class TextPanelAccessible : public WindowAccessible {
public:
    explicit TextPanelAccessible(HWND panel) : WindowAccessible(panel) {}

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
};
