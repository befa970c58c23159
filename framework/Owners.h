#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

// Move-only owners of Win32 handles: each releases its handle exactly once, and a moved-from owner is empty.
// None converts to its raw handle implicitly; get() lends it, release() gives it up.

// Owns one handle; Traits gives the handle type, the empty value, what counts as valid and how to release.
template <typename Traits>
class UniqueOwner {
public:
    using Handle = typename Traits::Handle;

    UniqueOwner() noexcept : handle_(Traits::Empty()) {}
    explicit UniqueOwner(Handle handle) noexcept : handle_(handle) {}
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    ~UniqueOwner() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

    Handle release() noexcept { return std::exchange(handle_, Traits::Empty()); }

    void reset(Handle handle = Traits::Empty()) noexcept
    {
        Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old))
            Traits::Release(old);
    }

    // For out parameters (RegOpenKeyExW, CoCreateInstance): releases what is held, then lends the slot.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_;
};

// Handles that are empty when null.
template <typename H, auto Close>
struct NullEmptyTraits {
    using Handle = H;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept { return handle != nullptr; }
    static void Release(Handle handle) noexcept { Close(handle); }
};

// Kernel handles, which some calls return as null and others as INVALID_HANDLE_VALUE on failure.
template <auto Close>
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept
    {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Release(Handle handle) noexcept { Close(handle); }
};

template <typename T>
struct ComTraits {
    using Handle = T*;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsValid(Handle pointer) noexcept { return pointer != nullptr; }
    static void Release(Handle pointer) noexcept { pointer->Release(); }
};

using UniqueHandle = UniqueOwner<KernelHandleTraits<&CloseHandle>>;
using FindHandle = UniqueOwner<KernelHandleTraits<&FindClose>>;
using RegKeyHandle = UniqueOwner<NullEmptyTraits<HKEY, &RegCloseKey>>;
template <typename T>
using GdiObject = UniqueOwner<NullEmptyTraits<T, &DeleteObject>>;
using MemoryDC = UniqueOwner<NullEmptyTraits<HDC, &DeleteDC>>;
using MenuHandle = UniqueOwner<NullEmptyTraits<HMENU, &DestroyMenu>>;
// Only for icons made or loaded without LR_SHARED; shared ones (LoadIcon) belong to the system.
using IconHandle = UniqueOwner<NullEmptyTraits<HICON, &DestroyIcon>>;

// Holds one reference to a COM object; adopting a pointer takes over a reference the caller already has.
template <typename T>
class ComPtr : public UniqueOwner<ComTraits<T>> {
public:
    using UniqueOwner<ComTraits<T>>::UniqueOwner;

    T* operator->() const noexcept { return this->get(); }
};

// The common DC of a window, released to the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&& other) noexcept;
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { Release(); }

    HDC get() const noexcept { return dc_; }

private:
    void Release() noexcept;

    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint around one WM_PAINT; bound to that message, so it does not move.
class PaintDC {
public:
    explicit PaintDC(HWND window) noexcept : window_(window), paint_{}, dc_(BeginPaint(window, &paint_)) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC()
    {
        if (dc_)
            EndPaint(window_, &paint_);
    }

    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paintStruct() const noexcept { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// Selects a pen, brush, font or bitmap into a DC and puts the previous one back. Not for regions, whose
// selection returns no previous object.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr))
    {
    }
    SelectedObject& operator=(SelectedObject&& other) noexcept;
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { Restore(); }

    // False when the selection failed.
    explicit operator bool() const noexcept { return previous_ != nullptr; }

private:
    void Restore() noexcept;

    HDC dc_;
    HGDIOBJ previous_;
};

// COM for the current thread, apartment-threaded; uninitialises only what it initialised. Bound to its
// thread, so it does not move.
class ComInit {
public:
    ComInit() noexcept : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    ~ComInit()
    {
        if (ok())
            CoUninitialize();
    }

    bool ok() const noexcept { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};
