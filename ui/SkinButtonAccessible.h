#pragma once

#include "ui/WindowAccessible.h"

class CSkinButton;

// A skinned button as a screen reader reads it: a push button, check box, radio button or page tab by its
// kind, named by its caption (without the "&") or, for a button that shows only a picture, by its tooltip,
// with its Alt key as shortcut, its check or selection as state, and a default action that does what a
// click does. The button clears the back pointer when its window goes.
class SkinButtonAccessible : public WindowAccessible {
public:
    explicit SkinButtonAccessible(CSkinButton& button);
    void Disconnect();

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    HRESULT Check(const VARIANT& child) const;
    std::string DefaultAction() const;

    CSkinButton* button_;
};
