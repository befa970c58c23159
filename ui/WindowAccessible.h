#pragma once

#include "framework/Owners.h"

#include <windows.h>

#include <oleacc.h>

#include <string>

// What a screen reader asks of a control that draws itself (Active Accessibility): one object per window,
// counted by COM, that a derived class fills in for the control's kind. Whatever it leaves alone is the
// answer of the system's standard object for the window's client area. The control keeps one reference,
// answers WM_GETOBJECT with Answer and calls Disconnect when its window goes; from then on every call fails
// with RPC_E_DISCONNECTED, as for an object whose server has gone, while readers may still hold it.
class WindowAccessible : public IAccessible {
public:
    explicit WindowAccessible(HWND window);
    WindowAccessible(const WindowAccessible&) = delete;
    WindowAccessible& operator=(const WindowAccessible&) = delete;

    void Disconnect();
    // The result of WM_GETOBJECT for the client area, with the message's wParam.
    LRESULT Answer(WPARAM wParam);
    // Whether a WM_GETOBJECT asks for the client area, which this object stands for.
    static bool AsksForClient(LPARAM objectId);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: readers use the interface's own methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // IAccessible, each passed on to the standard object.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    virtual ~WindowAccessible() = default;

    // Null once disconnected.
    HWND Hwnd() const { return window_; }
    // The standard object, made on first use; null once disconnected or when the system has none.
    IAccessible* Standard();

    // What the methods give back: a string (S_FALSE and no string when empty), a number, a child.
    static HRESULT Text(const std::string& text, BSTR* out);
    static HRESULT Number(long number, VARIANT* out);
    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    // The window's name as a reader says it: its text without the "&" that marks the Alt key.
    static std::string NameWithoutMnemonic(const std::string& text);
    // "Alt+X" for a text with "&X", or "".
    static std::string AltShortcut(const std::string& text);
    std::string WindowText() const;

private:
    LONG references_ = 1;
    HWND window_;
    ComPtr<IAccessible> standard_;
};
