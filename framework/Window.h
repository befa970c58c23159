#pragma once

#include "framework/MessageMap.h"

#include <windows.h>

#include <optional>
#include <string>

// One window and its C++ object. The object either creates the window (from a class registered with
// RegisterWindowClass) and destroys it with itself, or is attached to an existing control by subclassing,
// which its destruction or Detach undoes. Messages reach handlers through the class's message map; no
// exception leaves a handler, and a handler that throws leaves the message to default processing.
//
// The object lets go of its window before it is destroyed and when the window sends its last message
// (WM_NCDESTROY, which reaches no handler), so no message ever reaches a half-destroyed object.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Registering a class that exists already succeeds and keeps the first registration; a background brush
    // passed then remains the caller's. Otherwise the class owns the brush.
    static bool RegisterWindowClass(const std::string& className, UINT style, HCURSOR cursor,
                                    HBRUSH background);

    // id is the control id of a child window; pass 0 for a top-level one.
    bool Create(const std::string& className, const std::string& text, DWORD style, const RECT& rect,
                HWND parent, UINT id);
    bool Subclass(HWND control);
    // Gives up the window without destroying it; a subclassed control gets its own procedure back.
    void Detach();

    HWND GetHwnd() const { return hwnd_; }

protected:
    enum class Attachment { None, Created, Subclassed, Dialog };

    // Default processing of the message being handled. Created and subclassed windows run it at once (the
    // window class's DefWindowProc, or the control's own procedure) and return its result. A dialog, and a
    // handler of a reflected message, can only ask for it: it follows once the handler returns, from the
    // dialog manager or from the parent, and the handler's result is ignored.
    LRESULT Default();

    // Called once a control has been subclassed (Subclass, AttachItem), before any of its messages reach
    // the object: the place to read what the control was made with.
    virtual void OnAttached() {}

    virtual const MessageMap& GetMessageMap() const;
    static const MessageMap& GetThisMessageMap();

    // For windows whose procedure is the framework's own: a created window at WM_NCCREATE, a dialog at
    // WM_INITDIALOG.
    void Attach(HWND hwnd, Attachment attachment);
    // The result of the handler the message maps choose, or nothing when default processing should follow.
    std::optional<LRESULT> Dispatch(const MSG& message);

private:
    struct Dispatching {
        const MSG& message;
        bool reflected;
        bool defaultRequested;
    };

    static LRESULT CALLBACK ClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);
    static Window* FromSubclassed(HWND hwnd);

    static LRESULT DefaultFor(Attachment attachment, const MSG& message);

    LRESULT HandleMessage(const MSG& message);
    std::optional<LRESULT> ReflectToChild(const MSG& message);
    std::optional<LRESULT> Invoke(const MessageMapEntry& entry, const MSG& message, bool reflected);

    HWND hwnd_ = nullptr;
    Attachment attachment_ = Attachment::None;
    Dispatching* current_ = nullptr;
};
