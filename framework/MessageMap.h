#pragma once

#include <windows.h>

#include <type_traits>

// Per-class message maps. A class declares its map with DECLARE_MESSAGE_MAP() and defines it in its .cpp:
//
//     BEGIN_MESSAGE_MAP(CMainDialog, Dialog)
//         ON_MESSAGE(WM_TIMER, OnTimer)   // LRESULT OnTimer(WPARAM, LPARAM)
//         ON_COMMAND(1008, OnEraseNow)    // void OnEraseNow(): BN_CLICKED or a menu command with id 1008
//     END_MESSAGE_MAP()
//
// A control attached by subclassing can map what its parent is told about it (WM_COMMAND, WM_DRAWITEM,
// WM_NOTIFY): the parent hands such a message to the control's map first.
//
//     BEGIN_MESSAGE_MAP(CSkinButton, Button)
//         ON_REFLECTED(WM_DRAWITEM, OnDrawItem)   // LRESULT OnDrawItem(WPARAM, LPARAM)
//     END_MESSAGE_MAP()
//
// The messages every dialog handles have typed handlers, whose message result is 0; a handler may still
// call Default():
//
//         ON_WM_SIZE(OnSize)               // void OnSize(UINT type, SIZE client)
//         ON_WM_TIMER(OnTimer)             // void OnTimer(UINT_PTR timerId)
//         ON_WM_DPICHANGED(OnDpiChanged)   // void OnDpiChanged(UINT dpi, const RECT& suggested)
//         ON_WM_SYSCOMMAND(OnSysCommand)   // void OnSysCommand(UINT command)
//
// Lookup walks the class's own entries first, then its base class's map, and so on up to Window; the first
// matching entry handles the message. A message no entry matches gets the window's default processing.

class Window;

struct MessageMapEntry {
    enum class Match {
        Message,   // the message alone
        Command,   // WM_COMMAND with this notification code from this control or menu id
        Reflected, // a parent's WM_COMMAND, WM_DRAWITEM or WM_NOTIFY about this window
    };

    UINT message;
    Match match;
    UINT code;
    UINT id;
    LRESULT (*invoke)(Window& window, const MSG& message); // null ends a map's entries
};

struct MessageMap {
    const MessageMap& (*base)(); // null for the root map
    const MessageMapEntry* entries;
};

namespace MessageMapDetail {

template <typename T>
struct ClassOf;
template <typename C, typename M>
struct ClassOf<M C::*> {
    using Type = C;
};

// The class that declares the handler, which may be a base of the class whose map names it.
template <auto Handler>
using HandlerClass = typename ClassOf<decltype(Handler)>::Type;

template <auto Handler>
LRESULT InvokeMessage(Window& window, const MSG& message)
{
    return (static_cast<HandlerClass<Handler>&>(window).*Handler)(message.wParam, message.lParam);
}

template <auto Handler>
LRESULT InvokeCommand(Window& window, const MSG&)
{
    (static_cast<HandlerClass<Handler>&>(window).*Handler)();
    return 0;
}

template <auto Handler>
LRESULT InvokeSize(Window& window, const MSG& message)
{
    SIZE client{LOWORD(message.lParam), HIWORD(message.lParam)};
    (static_cast<HandlerClass<Handler>&>(window).*Handler)(static_cast<UINT>(message.wParam), client);
    return 0;
}

template <auto Handler>
LRESULT InvokeTimer(Window& window, const MSG& message)
{
    (static_cast<HandlerClass<Handler>&>(window).*Handler)(static_cast<UINT_PTR>(message.wParam));
    return 0;
}

template <auto Handler>
LRESULT InvokeDpiChanged(Window& window, const MSG& message)
{
    const RECT& suggested = *reinterpret_cast<const RECT*>(message.lParam);
    (static_cast<HandlerClass<Handler>&>(window).*Handler)(HIWORD(message.wParam), suggested);
    return 0;
}

template <auto Handler>
LRESULT InvokeSysCommand(Window& window, const MSG& message)
{
    (static_cast<HandlerClass<Handler>&>(window).*Handler)(static_cast<UINT>(message.wParam));
    return 0;
}

} // namespace MessageMapDetail

// clang-format off

// Leaves the class body at protected access.
#define DECLARE_MESSAGE_MAP()                                                                         \
protected:                                                                                            \
    static const MessageMap& GetThisMessageMap();                                                     \
    const MessageMap& GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(ThisClass, BaseClass)                                                       \
    const MessageMap& ThisClass::GetMessageMap() const { return GetThisMessageMap(); }                \
    const MessageMap& ThisClass::GetThisMessageMap()                                                  \
    {                                                                                                 \
        using MapThisClass = ThisClass;                                                               \
        using MapBaseClass = BaseClass;                                                               \
        static constexpr MessageMapEntry entries[] = {

#define ON_MESSAGE(message, handler)                                                                  \
            {(message), MessageMapEntry::Match::Message, 0, 0,                                        \
             &MessageMapDetail::InvokeMessage<&MapThisClass::handler>},

#define ON_COMMAND(id, handler)                                                                       \
            {WM_COMMAND, MessageMapEntry::Match::Command, BN_CLICKED, (id),                           \
             &MessageMapDetail::InvokeCommand<&MapThisClass::handler>},

// A control's notification other than BN_CLICKED (LBN_DBLCLK, for example): void handler().
#define ON_CONTROL(code, id, handler)                                                                 \
            {WM_COMMAND, MessageMapEntry::Match::Command, (code), (id),                               \
             &MessageMapDetail::InvokeCommand<&MapThisClass::handler>},

#define ON_WM_SIZE(handler)                                                                           \
            {WM_SIZE, MessageMapEntry::Match::Message, 0, 0,                                          \
             &MessageMapDetail::InvokeSize<&MapThisClass::handler>},

#define ON_WM_TIMER(handler)                                                                          \
            {WM_TIMER, MessageMapEntry::Match::Message, 0, 0,                                         \
             &MessageMapDetail::InvokeTimer<&MapThisClass::handler>},

#define ON_WM_DPICHANGED(handler)                                                                     \
            {WM_DPICHANGED, MessageMapEntry::Match::Message, 0, 0,                                    \
             &MessageMapDetail::InvokeDpiChanged<&MapThisClass::handler>},

#define ON_WM_SYSCOMMAND(handler)                                                                     \
            {WM_SYSCOMMAND, MessageMapEntry::Match::Message, 0, 0,                                    \
             &MessageMapDetail::InvokeSysCommand<&MapThisClass::handler>},

#define ON_REFLECTED(message, handler)                                                                \
            {(message), MessageMapEntry::Match::Reflected, 0, 0,                                      \
             &MessageMapDetail::InvokeMessage<&MapThisClass::handler>},

#define END_MESSAGE_MAP()                                                                             \
            {}                                                                                        \
        };                                                                                            \
        static_assert(std::is_base_of_v<MapBaseClass, MapThisClass>, "a map chains to a base class"); \
        static constexpr MessageMap map{&MapBaseClass::GetThisMessageMap, entries};                   \
        return map;                                                                                   \
    }

// clang-format on
