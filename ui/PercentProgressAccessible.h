#pragma once

#include "ui/WindowAccessible.h"

class CPercentProgressCtrl;

// The percent progress bar as a screen reader reads it: a progress bar whose value is the share done, such
// as "42%". The bar clears the back pointer when its window goes.
class PercentProgressAccessible : public WindowAccessible {
public:
    explicit PercentProgressAccessible(CPercentProgressCtrl& bar);
    void Disconnect();

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;

private:
    CPercentProgressCtrl* bar_;
};
