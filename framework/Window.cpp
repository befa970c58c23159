#include "framework/Window.h"

#include "framework/Utf8.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Names the object of a subclassed control, so a parent can find it (the x64 import library of comctl32 has
// no GetWindowSubclass).
constexpr wchar_t kObjectProperty[] = L"VestrelWindowObject";

bool Matches(const MessageMapEntry& entry, const MSG& message, bool reflected)
{
    if (entry.message != message.message || (entry.match == MessageMapEntry::Match::Reflected) != reflected)
        return false;
    if (entry.match != MessageMapEntry::Match::Command)
        return true;
    return LOWORD(message.wParam) == entry.id && HIWORD(message.wParam) == entry.code;
}

const MessageMapEntry* FindEntry(const MessageMap& map, const MSG& message, bool reflected)
{
    for (const MessageMap* level = &map; level; level = level->base ? &level->base() : nullptr) {
        for (const MessageMapEntry* entry = level->entries; entry->invoke; ++entry) {
            if (Matches(*entry, message, reflected))
                return entry;
        }
    }
    return nullptr;
}

// The control a parent is told about, or null (menus and accelerators send no control).
HWND ControlConcerned(const MSG& message)
{
    switch (message.message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(message.lParam);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.lParam);
        return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(message.lParam)->hwndFrom;
    default:
        return nullptr;
    }
}

} // namespace

Window::~Window()
{
    HWND hwnd = hwnd_;
    bool created = attachment_ == Attachment::Created;
    Detach();
    if (created)
        DestroyWindow(hwnd);
}

bool Window::RegisterWindowClass(const std::string& className, UINT style, HCURSOR cursor, HBRUSH background)
{
    std::wstring name = ToWide(className);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = ClassProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name.c_str();
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::Create(const std::string& className, const std::string& text, DWORD style, const RECT& rect,
                    HWND parent, UINT id)
{
    if (hwnd_)
        return false;
    HWND hwnd =
        CreateWindowExW(0, ToWide(className).c_str(), ToWide(text).c_str(), style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), this);
    if (hwnd && hwnd != hwnd_) {
        // A class not registered through RegisterWindowClass would never reach this object.
        DestroyWindow(hwnd);
        return false;
    }
    return hwnd != nullptr;
}

bool Window::Subclass(HWND control)
{
    if (hwnd_ || !control || FromSubclassed(control) || !SetPropW(control, kObjectProperty, this))
        return false;
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropW(control, kObjectProperty);
        return false;
    }
    hwnd_ = control;
    attachment_ = Attachment::Subclassed;
    OnAttached();
    return true;
}

void Window::Detach()
{
    switch (attachment_) {
    case Attachment::Created:
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        break;
    case Attachment::Subclassed:
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
        RemovePropW(hwnd_, kObjectProperty);
        break;
    case Attachment::Dialog:
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        break;
    case Attachment::None:
        break;
    }
    hwnd_ = nullptr;
    attachment_ = Attachment::None;
}

void Window::Attach(HWND hwnd, Attachment attachment)
{
    hwnd_ = hwnd;
    attachment_ = attachment;
    SetWindowLongPtrW(hwnd, attachment == Attachment::Dialog ? DWLP_USER : GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(this));
}

LRESULT Window::Default()
{
    if (!current_)
        return 0;
    if (!current_->reflected && (attachment_ == Attachment::Created || attachment_ == Attachment::Subclassed))
        return DefaultFor(attachment_, current_->message);
    current_->defaultRequested = true;
    return 0;
}

const MessageMap& Window::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMap& Window::GetThisMessageMap()
{
    static constexpr MessageMapEntry entries[] = {{}};
    static constexpr MessageMap map{nullptr, entries};
    return map;
}

std::optional<LRESULT> Window::Dispatch(const MSG& message)
{
    if (std::optional<LRESULT> reflected = ReflectToChild(message))
        return reflected;
    const MessageMapEntry* entry = FindEntry(GetMessageMap(), message, false);
    return entry ? Invoke(*entry, message, false) : std::nullopt;
}

LRESULT CALLBACK Window::ClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->Attach(hwnd, Attachment::Created);
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->HandleMessage({hwnd, message, wParam, lParam, 0, {}});
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self)
{
    return reinterpret_cast<Window*>(self)->HandleMessage({hwnd, message, wParam, lParam, 0, {}});
}

Window* Window::FromSubclassed(HWND hwnd)
{
    return static_cast<Window*>(GetPropW(hwnd, kObjectProperty));
}

LRESULT Window::HandleMessage(const MSG& message)
{
    // Taken first: the default processing still belongs to the procedure that received the message, even if
    // the object lets go of the window meanwhile.
    Attachment attachment = attachment_;
    if (message.message == WM_NCDESTROY)
        Detach();
    else if (std::optional<LRESULT> result = Dispatch(message))
        return *result;
    return DefaultFor(attachment, message);
}

LRESULT Window::DefaultFor(Attachment attachment, const MSG& message)
{
    if (attachment == Attachment::Subclassed)
        return DefSubclassProc(message.hwnd, message.message, message.wParam, message.lParam);
    return DefWindowProcW(message.hwnd, message.message, message.wParam, message.lParam);
}

std::optional<LRESULT> Window::ReflectToChild(const MSG& message)
{
    HWND control = ControlConcerned(message);
    Window* child = control ? FromSubclassed(control) : nullptr;
    if (!child || child == this)
        return std::nullopt;
    const MessageMapEntry* entry = FindEntry(child->GetMessageMap(), message, true);
    return entry ? child->Invoke(*entry, message, true) : std::nullopt;
}

std::optional<LRESULT> Window::Invoke(const MessageMapEntry& entry, const MSG& message, bool reflected)
{
    Dispatching dispatching{message, reflected, false};
    Dispatching* outer = std::exchange(current_, &dispatching);
    std::optional<LRESULT> result;
    try {
        result = entry.invoke(*this, message);
    } catch (...) {
        // Nothing may unwind into Windows; the message falls back to default processing.
    }
    current_ = outer;
    if (dispatching.defaultRequested)
        return std::nullopt;
    return result;
}
