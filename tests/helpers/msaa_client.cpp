// A screen reader's view of another process's window, through Active Accessibility as NVDA and JAWS read
// it, for the window tests. Writes what it reads or hears, one object a line ("role "name" value [states]
// {description}", rows indented under their list), to the output file:
//   msaa_client read <out> <hwnd>                 the window's client area and every visible child window's
//   msaa_client do <out> <hwnd> <name>            the default action of the child of that name
//   msaa_client listen <out> <pid> <ready> <count> the focus, selection, state and value events the process
//                                                  raises, until count were heard or 15 s passed; sets the
//                                                  named event <ready> once its hook is in place
#include "framework/Utf8.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

FILE* g_out = nullptr;
DWORD g_process = 0;
int g_wanted = 0;
int g_heard = 0;

std::string Narrow(BSTR text)
{
    return text ? ToUtf8(std::wstring(text, SysStringLen(text))) : std::string();
}

VARIANT Child(long id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::string RoleText(IAccessible* object, const VARIANT& child)
{
    VARIANT role;
    VariantInit(&role);
    if (FAILED(object->get_accRole(child, &role)) || role.vt != VT_I4)
        return "?";
    wchar_t text[64] = {};
    GetRoleTextW(static_cast<DWORD>(role.lVal), text, 64);
    return ToUtf8(text);
}

std::string StateText(IAccessible* object, const VARIANT& child)
{
    VARIANT state;
    VariantInit(&state);
    if (FAILED(object->get_accState(child, &state)) || state.vt != VT_I4)
        return "?";
    std::string text;
    for (DWORD bit = 1; bit != 0 && bit <= 0x40000000; bit <<= 1) {
        if (!(state.lVal & bit) || bit == STATE_SYSTEM_FOCUSABLE || bit == STATE_SYSTEM_SELECTABLE)
            continue;
        wchar_t name[64] = {};
        GetStateTextW(bit, name, 64);
        text += (text.empty() ? "" : ", ") + ToUtf8(name);
    }
    return text;
}

// What a reader says of one object, as one line.
std::string Describe(IAccessible* object, const VARIANT& child)
{
    BSTR name = nullptr;
    BSTR value = nullptr;
    BSTR description = nullptr;
    BSTR shortcut = nullptr;
    BSTR action = nullptr;
    object->get_accName(child, &name);
    object->get_accValue(child, &value);
    object->get_accDescription(child, &description);
    object->get_accKeyboardShortcut(child, &shortcut);
    object->get_accDefaultAction(child, &action);
    std::string line = RoleText(object, child) + " \"" + Narrow(name) + "\"";
    if (value)
        line += " " + Narrow(value);
    line += " [" + StateText(object, child) + "]";
    if (shortcut)
        line += " " + Narrow(shortcut);
    if (action)
        line += " (" + Narrow(action) + ")";
    if (description)
        line += " {" + Narrow(description) + "}";
    for (BSTR text : {name, value, description, shortcut, action})
        SysFreeString(text);
    for (char& c : line) {
        if (c == '\n')
            c = '|';
    }
    return line;
}

IAccessible* ClientOf(HWND window)
{
    void* object = nullptr;
    if (FAILED(
            AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, &object)))
        return nullptr;
    return static_cast<IAccessible*>(object);
}

// The object's simple children, as a list's rows: the children of child windows are read from the windows.
void ReadRows(IAccessible* object, const std::string& indent)
{
    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count <= 0)
        return;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (FAILED(AccessibleChildren(object, 0, count, children.data(), &got)))
        return;
    for (long i = 0; i < got; ++i) {
        if (children[i].vt == VT_I4)
            std::fprintf(g_out, "%s%s\n", indent.c_str(), Describe(object, children[i]).c_str());
        VariantClear(&children[i]);
    }
}

void ReadWindow(HWND window, const std::string& indent)
{
    if (!IsWindowVisible(window))
        return;
    if (IAccessible* object = ClientOf(window)) {
        std::fprintf(g_out, "%s%s\n", indent.c_str(), Describe(object, Child(CHILDID_SELF)).c_str());
        ReadRows(object, indent + "  ");
        object->Release();
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ReadWindow(child, indent + "  ");
}

HWND WindowArgument(const wchar_t* text)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(text, nullptr, 0)));
}

int DoDefaultAction(HWND window, const std::string& wanted)
{
    IAccessible* object = ClientOf(window);
    if (!object)
        return 2;
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(std::max(count, 1L)));
    long got = 0;
    AccessibleChildren(object, 0, count, children.data(), &got);
    int result = 1;
    for (long i = 0; i < got; ++i) {
        BSTR name = nullptr;
        if (result == 1 && children[i].vt == VT_I4 && SUCCEEDED(object->get_accName(children[i], &name)) &&
            Narrow(name) == wanted) {
            const HRESULT done = object->accDoDefaultAction(children[i]);
            std::fprintf(g_out, "accDoDefaultAction: 0x%08lx\n", static_cast<unsigned long>(done));
            std::fprintf(g_out, "%s\n", Describe(object, children[i]).c_str());
            result = SUCCEEDED(done) ? 0 : 3;
        }
        SysFreeString(name);
        VariantClear(&children[i]);
    }
    object->Release();
    return result;
}

const char* EventName(DWORD event)
{
    switch (event) {
    case EVENT_OBJECT_FOCUS:
        return "focus";
    case EVENT_OBJECT_SELECTION:
        return "selection";
    case EVENT_OBJECT_STATECHANGE:
        return "state";
    case EVENT_OBJECT_VALUECHANGE:
        return "value";
    case EVENT_OBJECT_REORDER:
        return "reorder";
    default:
        return nullptr;
    }
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD, DWORD)
{
    const char* name = EventName(event);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (!name || objectId != OBJID_CLIENT || process != g_process)
        return;
    IAccessible* object = nullptr;
    VARIANT child;
    VariantInit(&child);
    const HRESULT found = AccessibleObjectFromEvent(window, static_cast<DWORD>(objectId),
                                                    static_cast<DWORD>(childId), &object, &child);
    if (SUCCEEDED(found)) {
        std::fprintf(g_out, "%s: %s\n", name, Describe(object, child).c_str());
        object->Release();
        VariantClear(&child);
    } else {
        std::fprintf(g_out, "%s: child %ld, not readable (0x%08lx)\n", name, static_cast<long>(childId),
                     static_cast<unsigned long>(found));
    }
    std::fflush(g_out);
    if (++g_heard >= g_wanted)
        PostQuitMessage(0);
}

int Listen(DWORD processId, const wchar_t* readyName, int count)
{
    g_process = processId;
    g_wanted = count;
    // Hooked for every process and sorted in the callback: Wine leaves a hook for one process out of the
    // events that process raises.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr, OnEvent, 0,
                                         0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!hook)
        return 2;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyName);
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    SetTimer(nullptr, 0, 15000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER)
            break;
        DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    return g_heard >= g_wanted ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    const std::wstring command = argv[1];
    g_out = _wfopen(argv[2], L"w");
    if (!g_out)
        return 2;
    CoInitialize(nullptr);
    int result = 2;
    if (command == L"read") {
        ReadWindow(WindowArgument(argv[3]), "");
        result = 0;
    } else if (command == L"do" && argc > 4) {
        result = DoDefaultAction(WindowArgument(argv[3]), ToUtf8(argv[4]));
    } else if (command == L"listen" && argc > 5) {
        result = Listen(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)), argv[4],
                        static_cast<int>(std::wcstol(argv[5], nullptr, 10)));
    }
    std::fclose(g_out);
    CoUninitialize();
    return result;
}
