#include "framework/Owners.h"

WindowDC& WindowDC::operator=(WindowDC&& other) noexcept
{
    if (this != &other) {
        Release();
        window_ = other.window_;
        dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
}

void WindowDC::Release() noexcept
{
    if (dc_)
        ReleaseDC(window_, std::exchange(dc_, nullptr));
}

SelectedObject& SelectedObject::operator=(SelectedObject&& other) noexcept
{
    if (this != &other) {
        Restore();
        dc_ = other.dc_;
        previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
}

void SelectedObject::Restore() noexcept
{
    if (previous_)
        SelectObject(dc_, std::exchange(previous_, nullptr));
}
