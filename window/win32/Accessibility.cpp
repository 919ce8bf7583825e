#include "Accessibility.h"

#include "SystemFunction.h"

#include <oleacc.h>

#include <new>
#include <string_view>

#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace {

// oleacc, oleaut32 and COM are loaded only when a screen reader first asks
// for an object or a verdict is announced, from the system folder only, so
// that a start with no screen reader does not wait for them.
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
using SysFreeStringFn = void(WINAPI*)(BSTR);
using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeFn = void(WINAPI*)();

struct ScreenReaderFunctions {
    CreateStdAccessibleObjectFn createStdAccessibleObject = nullptr;
    LresultFromObjectFn lresultFromObject = nullptr;
    SysAllocStringLenFn sysAllocStringLen = nullptr;
    SysFreeStringFn sysFreeString = nullptr;
    CoUninitializeFn coUninitialize = nullptr; // set once COM has been started here
    bool ready() const {
        return createStdAccessibleObject && lresultFromObject && sysAllocStringLen &&
               sysFreeString && coUninitialize;
    }
};

bool comStarted = false; // by screenReaderFunctions(), for endScreenReaderSupport()

bool loadSystemLibrary(const wchar_t* file) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    const std::wstring name = std::wstring(L"\\") + file;
    if (length == 0 || length + name.size() >= MAX_PATH)
        return false;
    return LoadLibraryW((std::wstring(path, length) + name).c_str()) != nullptr;
}

ScreenReaderFunctions& screenReaderFunctions() {
    static ScreenReaderFunctions functions = [] {
        ScreenReaderFunctions found;
        if (!loadSystemLibrary(L"ole32.dll") || !loadSystemLibrary(L"oleaut32.dll") ||
            !loadSystemLibrary(L"oleacc.dll"))
            return found;
        const auto coInitializeEx =
            systemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
        const auto coUninitialize =
            systemFunction<CoUninitializeFn>(L"ole32.dll", "CoUninitialize");
        if (!coInitializeEx || !coUninitialize ||
            FAILED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            return found;
        comStarted = true;
        found.coUninitialize = coUninitialize;
        found.createStdAccessibleObject =
            systemFunction<CreateStdAccessibleObjectFn>(L"oleacc.dll", "CreateStdAccessibleObject");
        found.lresultFromObject =
            systemFunction<LresultFromObjectFn>(L"oleacc.dll", "LresultFromObject");
        found.sysAllocStringLen =
            systemFunction<SysAllocStringLenFn>(L"oleaut32.dll", "SysAllocStringLen");
        found.sysFreeString = systemFunction<SysFreeStringFn>(L"oleaut32.dll", "SysFreeString");
        return found;
    }();
    return functions;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT textResult(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_INVALIDARG;
    *out = screenReaderFunctions().sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A control's standard accessible object, with its name and description
// supplied where `texts` gives them. Everything else is the standard one's.
class AccessibleControl final : public IAccessible {
public:
    AccessibleControl(IAccessible* standard, HWND control, const AccessibleTexts& texts)
        : standard(standard), control(control), texts(texts) {}
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // IEnumVARIANT, IOleWindow and the like come from the standard object.
        return standard->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return standard->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
    }

    // IAccessible: the name and description of the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (isSelf(child) && !texts.name.empty())
            return textResult(texts.name, name);
        if (isSelf(child) && !texts.emptyName.empty() && GetWindowTextLengthW(control) == 0)
            return textResult(texts.emptyName, name);
        return standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (isSelf(child) && !texts.description.empty())
            return textResult(texts.description, description);
        return standard->get_accDescription(child, description);
    }

    // IAccessible: the rest as the standard object has it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard->put_accValue(child, value);
    }

private:
    ~AccessibleControl() { standard->Release(); }

    IAccessible* standard;
    HWND control;
    AccessibleTexts texts;
    LONG references = 1;
};

// UI Automation's notification event, Windows 10 1709 and later. The
// provider is declared as IUnknown: only its pointer is handed on.
enum { NotificationKindActionCompleted = 2, NotificationProcessingImportantMostRecent = 1 };
using UiaHostProviderFromHwndFn = HRESULT(WINAPI*)(HWND, IUnknown**);
using UiaRaiseNotificationEventFn = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);

struct UiaNotifications {
    UiaHostProviderFromHwndFn hostProvider = nullptr;
    UiaRaiseNotificationEventFn raise = nullptr;
};

// Loaded at the first announcement, from the system folder only.
const UiaNotifications& uiaNotifications() {
    static const UiaNotifications functions = [] {
        UiaNotifications found;
        if (!loadSystemLibrary(L"uiautomationcore.dll"))
            return found;
        found.raise = systemFunction<UiaRaiseNotificationEventFn>(L"uiautomationcore.dll",
                                                                  "UiaRaiseNotificationEvent");
        found.hostProvider = systemFunction<UiaHostProviderFromHwndFn>(L"uiautomationcore.dll",
                                                                       "UiaHostProviderFromHwnd");
        return found;
    }();
    return functions;
}

bool raiseUiaNotification(HWND output, const std::wstring& text) {
    const ScreenReaderFunctions& com = screenReaderFunctions();
    if (!com.ready())
        return false;
    const UiaNotifications& uia = uiaNotifications();
    if (!uia.raise || !uia.hostProvider)
        return false;
    IUnknown* provider = nullptr;
    if (FAILED(uia.hostProvider(output, &provider)) || !provider)
        return false;
    BSTR display = com.sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    constexpr std::wstring_view activityId = L"zoomatch.verdict";
    BSTR activity = com.sysAllocStringLen(activityId.data(), static_cast<UINT>(activityId.size()));
    const bool raised =
        display && activity &&
        SUCCEEDED(uia.raise(provider, NotificationKindActionCompleted,
                            NotificationProcessingImportantMostRecent, display, activity));
    com.sysFreeString(display);
    com.sysFreeString(activity);
    provider->Release();
    return raised;
}

} // namespace

LRESULT accessibleObject(HWND control, WPARAM flags, const AccessibleTexts& texts) {
    const ScreenReaderFunctions& com = screenReaderFunctions();
    if (!com.ready())
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(com.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new (std::nothrow) AccessibleControl(standard, control, texts);
    if (!object) {
        standard->Release();
        return 0;
    }
    const LRESULT result = com.lresultFromObject(__uuidof(IAccessible), flags, object);
    object->Release();
    return result < 0 ? 0 : result;
}

void announce(HWND output, const std::wstring& text) {
    if (!raiseUiaNotification(output, text))
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, output, OBJID_CLIENT, CHILDID_SELF);
}

void endScreenReaderSupport() {
    if (!comStarted)
        return; // no screen reader came: nothing was loaded
    ScreenReaderFunctions& com = screenReaderFunctions();
    com.coUninitialize();
    com = ScreenReaderFunctions();
    comStarted = false;
}
