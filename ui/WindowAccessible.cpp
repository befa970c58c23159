#include "ui/WindowAccessible.h"

#include "framework/Utf8.h"

#include <cwctype>

WindowAccessible::WindowAccessible(HWND window) : window_(window) {}

void WindowAccessible::Disconnect()
{
    window_ = nullptr;
    standard_.reset();
}

LRESULT WindowAccessible::Answer(WPARAM wParam)
{
    return window_ ? LresultFromObject(IID_IAccessible, wParam, this) : 0;
}

// The id comes as a 32-bit number in a wider LPARAM on 64-bit Windows.
bool WindowAccessible::AsksForClient(LPARAM objectId)
{
    return static_cast<LONG>(static_cast<DWORD>(objectId)) == OBJID_CLIENT;
}

IAccessible* WindowAccessible::Standard()
{
    if (!standard_ && window_) {
        void* object = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(window_, OBJID_CLIENT, IID_IAccessible, &object)))
            standard_.reset(static_cast<IAccessible*>(object));
    }
    return standard_.get();
}

HRESULT WindowAccessible::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IAccessible) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

ULONG WindowAccessible::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG WindowAccessible::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT WindowAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT WindowAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT WindowAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT WindowAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

// Every method below: disconnected, or without a standard object, the call fails.
#define VESTREL_PASS_ON(call)                                                                                \
    IAccessible* standard = Standard();                                                                      \
    if (!window_)                                                                                            \
        return RPC_E_DISCONNECTED;                                                                           \
    return standard ? standard->call : E_NOTIMPL

HRESULT WindowAccessible::get_accParent(IDispatch** parent)
{
    VESTREL_PASS_ON(get_accParent(parent));
}

HRESULT WindowAccessible::get_accChildCount(long* count)
{
    VESTREL_PASS_ON(get_accChildCount(count));
}

HRESULT WindowAccessible::get_accChild(VARIANT child, IDispatch** dispatch)
{
    VESTREL_PASS_ON(get_accChild(child, dispatch));
}

HRESULT WindowAccessible::get_accName(VARIANT child, BSTR* name)
{
    VESTREL_PASS_ON(get_accName(child, name));
}

HRESULT WindowAccessible::get_accValue(VARIANT child, BSTR* value)
{
    VESTREL_PASS_ON(get_accValue(child, value));
}

HRESULT WindowAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    VESTREL_PASS_ON(get_accDescription(child, description));
}

HRESULT WindowAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    VESTREL_PASS_ON(get_accRole(child, role));
}

HRESULT WindowAccessible::get_accState(VARIANT child, VARIANT* state)
{
    VESTREL_PASS_ON(get_accState(child, state));
}

HRESULT WindowAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    VESTREL_PASS_ON(get_accHelp(child, help));
}

HRESULT WindowAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    VESTREL_PASS_ON(get_accHelpTopic(file, child, topic));
}

HRESULT WindowAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    VESTREL_PASS_ON(get_accKeyboardShortcut(child, shortcut));
}

HRESULT WindowAccessible::get_accFocus(VARIANT* child)
{
    VESTREL_PASS_ON(get_accFocus(child));
}

HRESULT WindowAccessible::get_accSelection(VARIANT* children)
{
    VESTREL_PASS_ON(get_accSelection(children));
}

HRESULT WindowAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    VESTREL_PASS_ON(get_accDefaultAction(child, action));
}

HRESULT WindowAccessible::accSelect(long flags, VARIANT child)
{
    VESTREL_PASS_ON(accSelect(flags, child));
}

HRESULT WindowAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    VESTREL_PASS_ON(accLocation(left, top, width, height, child));
}

HRESULT WindowAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    VESTREL_PASS_ON(accNavigate(direction, start, end));
}

HRESULT WindowAccessible::accHitTest(long left, long top, VARIANT* child)
{
    VESTREL_PASS_ON(accHitTest(left, top, child));
}

HRESULT WindowAccessible::accDoDefaultAction(VARIANT child)
{
    VESTREL_PASS_ON(accDoDefaultAction(child));
}

HRESULT WindowAccessible::put_accName(VARIANT child, BSTR name)
{
    VESTREL_PASS_ON(put_accName(child, name));
}

HRESULT WindowAccessible::put_accValue(VARIANT child, BSTR value)
{
    VESTREL_PASS_ON(put_accValue(child, value));
}

#undef VESTREL_PASS_ON

HRESULT WindowAccessible::Text(const std::string& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    const std::wstring wide = ToWide(text);
    *out = SysAllocStringLen(wide.c_str(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT WindowAccessible::Number(long number, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

std::string WindowAccessible::NameWithoutMnemonic(const std::string& text)
{
    std::string name;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '&' && at + 1 < text.size())
            ++at; // "&&" stands for one "&"
        name += text[at];
    }
    return name;
}

std::string WindowAccessible::AltShortcut(const std::string& text)
{
    const std::wstring wide = ToWide(text);
    for (size_t at = 0; at + 1 < wide.size(); ++at) {
        if (wide[at] != L'&')
            continue;
        if (wide[at + 1] != L'&')
            return "Alt+" + ToUtf8(std::wstring(1, static_cast<wchar_t>(std::towupper(wide[at + 1]))));
        ++at;
    }
    return {};
}

std::string WindowAccessible::WindowText() const
{
    if (!window_)
        return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
    return ToUtf8(text);
}
