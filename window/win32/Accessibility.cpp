#include "Accessibility.h"

#include "ControlError.h"
#include "SystemFunction.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace {

// oleacc's type library, which describes IAccessible for late-bound clients.
constexpr GUID AccessibilityLibrary = {
    0x1ea4dbf0, 0x3c3b, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
// Dynamic Annotation's service, and UI Automation's LiveSetting property.
constexpr GUID AccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID AccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG LiveSettingPolite = 1;

// oleacc, oleaut32 and COM are loaded only when a screen reader first asks
// for an object or a verdict is announced, from the system folder only, so
// that a start with no screen reader does not wait for them. Once found, the
// functions and the type information are kept to the end and nothing is
// unloaded, so that no object a screen reader holds calls into a DLL that is gone.
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
using SysFreeStringFn = void(WINAPI*)(BSTR);
using LoadRegTypeLibFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, ITypeLib**);
using DispGetIDsOfNamesFn = HRESULT(WINAPI*)(ITypeInfo*, OLECHAR**, UINT, DISPID*);
using DispInvokeFn = HRESULT(WINAPI*)(void*, ITypeInfo*, DISPID, WORD, DISPPARAMS*, VARIANT*,
                                      EXCEPINFO*, UINT*);
using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, void**);

struct ScreenReaderFunctions {
    CreateStdAccessibleObjectFn createStdAccessibleObject = nullptr;
    LresultFromObjectFn lresultFromObject = nullptr;
    SysAllocStringLenFn sysAllocStringLen = nullptr;
    SysFreeStringFn sysFreeString = nullptr;
    DispGetIDsOfNamesFn dispGetIDsOfNames = nullptr;
    DispInvokeFn dispInvoke = nullptr;
    CoCreateInstanceFn coCreateInstance = nullptr;
    CoUninitializeFn coUninitialize = nullptr;
    ITypeInfo* accessibleType = nullptr; // IAccessible's, for IDispatch; null without the library
    bool ready() const {
        return createStdAccessibleObject && lresultFromObject && sysAllocStringLen &&
               sysFreeString && dispGetIDsOfNames && dispInvoke && coCreateInstance &&
               coUninitialize;
    }
};

bool comStarted = false; // by screenReaderFunctions(), for endScreenReaderSupport()

ITypeInfo* accessibleTypeInfo() {
    const auto loadRegTypeLib = systemFunction<LoadRegTypeLibFn>(L"oleaut32.dll", "LoadRegTypeLib");
    ITypeLib* library = nullptr;
    if (!loadRegTypeLib || FAILED(loadRegTypeLib(AccessibilityLibrary, 1, 1, 0, &library)))
        return nullptr;
    ITypeInfo* info = nullptr;
    if (FAILED(library->GetTypeInfoOfGuid(__uuidof(IAccessible), &info)))
        info = nullptr;
    library->Release();
    return info;
}

const ScreenReaderFunctions& screenReaderFunctions() {
    static const ScreenReaderFunctions functions = [] {
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
        found.coCreateInstance =
            systemFunction<CoCreateInstanceFn>(L"ole32.dll", "CoCreateInstance");
        found.createStdAccessibleObject =
            systemFunction<CreateStdAccessibleObjectFn>(L"oleacc.dll", "CreateStdAccessibleObject");
        found.lresultFromObject =
            systemFunction<LresultFromObjectFn>(L"oleacc.dll", "LresultFromObject");
        found.sysAllocStringLen =
            systemFunction<SysAllocStringLenFn>(L"oleaut32.dll", "SysAllocStringLen");
        found.sysFreeString = systemFunction<SysFreeStringFn>(L"oleaut32.dll", "SysFreeString");
        found.dispGetIDsOfNames =
            systemFunction<DispGetIDsOfNamesFn>(L"oleaut32.dll", "DispGetIDsOfNames");
        found.dispInvoke = systemFunction<DispInvokeFn>(L"oleaut32.dll", "DispInvoke");
        found.accessibleType = accessibleTypeInfo();
        return found;
    }();
    return functions;
}

// The object itself: CHILDID_SELF, or no child at all, as a late-bound call
// that leaves out the optional argument gives it.
bool isSelf(const VARIANT& child) {
    return (child.vt == VT_I4 && child.lVal == CHILDID_SELF) || child.vt == VT_EMPTY ||
           (child.vt == VT_ERROR && child.scode == DISP_E_PARAMNOTFOUND);
}

VARIANT self() {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

HRESULT textResult(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_INVALIDARG;
    *out = screenReaderFunctions().sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// What a call on an object whose control is gone leaves in its out parameters:
// null pointers, empty variants, zeros; the other arguments are left alone.
template <typename T> void clearOut(T** out) {
    if (out)
        *out = nullptr;
}
void clearOut(VARIANT* out) {
    if (out)
        out->vt = VT_EMPTY;
}
void clearOut(LONG* out) {
    if (out)
        *out = 0;
}
void clearOut(UINT* out) {
    if (out)
        *out = 0;
}
template <typename T> void clearOut(const T&) {}

template <typename... Out> HRESULT disconnected(Out... out) {
    (clearOut(out), ...);
    return CO_E_OBJNOTCONNECTED;
}

// Every object not yet released, for accessibleControlGone. Never destroyed:
// a screen reader may release an object as late as it likes.
class AccessibleControl;
std::vector<AccessibleControl*>& liveObjects() {
    static auto* objects = new std::vector<AccessibleControl*>;
    return *objects;
}

// A control's accessible object: its name and description where `texts`
// gives them, everything else from the control's standard object.
class AccessibleControl final : public IAccessible, public IOleWindow {
public:
    AccessibleControl(IAccessible* standard, HWND control, const AccessibleTexts& texts)
        : standard(standard), control(control), texts(texts) {
        liveObjects().push_back(this);
    }
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    HWND window() const { return control; }
    // The control is destroyed: from now on every call fails.
    void cutOff() {
        if (IAccessible* was = std::exchange(standard, nullptr))
            was->Release();
    }

    // IUnknown: the same set of interfaces for the object's whole life, and
    // the same IUnknown from each of them.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, __uuidof(IAccessible)))
            *out = static_cast<IAccessible*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow))
            *out = static_cast<IOleWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch, as IAccessible's type information describes it, so that a
    // late-bound client reads what this object gives.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_INVALIDARG;
        if (!standard)
            return disconnected(count);
        *count = typeInfo() ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info)
            return E_INVALIDARG;
        *info = nullptr;
        if (!standard)
            return CO_E_OBJNOTCONNECTED;
        if (index != 0 || !typeInfo())
            return DISP_E_BADINDEX;
        *info = typeInfo();
        (*info)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!standard)
            return CO_E_OBJNOTCONNECTED;
        if (!IsEqualIID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        if (!typeInfo())
            return E_NOTIMPL;
        return screenReaderFunctions().dispGetIDsOfNames(typeInfo(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (!standard)
            return disconnected(result);
        if (!IsEqualIID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        if (!typeInfo())
            return E_NOTIMPL;
        return screenReaderFunctions().dispInvoke(static_cast<IAccessible*>(this), typeInfo(), id,
                                                  flags, params, result, exception, argumentError);
    }

    // IOleWindow: the control, so that WindowFromAccessibleObject finds it.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_INVALIDARG;
        if (!standard)
            return disconnected(window);
        *window = control;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override {
        return standard ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }

    // IAccessible: the name and description of the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (standard && isSelf(child)) {
            if (!texts.name.empty())
                return textResult(texts.name, name);
            if (!texts.emptyName.empty() && GetWindowTextLengthW(control) == 0)
                return textResult(texts.emptyName, name);
            child = self();
        }
        return forward(&IAccessible::get_accName, child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (standard && isSelf(child)) {
            if (!texts.description.empty())
                return textResult(texts.description, description);
            child = self();
        }
        return forward(&IAccessible::get_accDescription, child, description);
    }

    // IAccessible: the rest as the standard object has it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return forward(&IAccessible::get_accParent, parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return forward(&IAccessible::get_accChildCount, count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return forward(&IAccessible::get_accChild, child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return forward(&IAccessible::get_accValue, child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return forward(&IAccessible::get_accRole, child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return forward(&IAccessible::get_accState, child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return forward(&IAccessible::get_accHelp, child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return forward(&IAccessible::get_accHelpTopic, file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return forward(&IAccessible::get_accKeyboardShortcut, child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return forward(&IAccessible::get_accFocus, child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return forward(&IAccessible::get_accSelection, children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return forward(&IAccessible::get_accDefaultAction, child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return forward(&IAccessible::accSelect, flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return forward(&IAccessible::accLocation, left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return forward(&IAccessible::accNavigate, direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return forward(&IAccessible::accHitTest, x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return forward(&IAccessible::accDoDefaultAction, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return forward(&IAccessible::put_accName, child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return forward(&IAccessible::put_accValue, child, value);
    }

private:
    ~AccessibleControl() {
        cutOff();
        std::vector<AccessibleControl*>& objects = liveObjects();
        objects.erase(std::find(objects.begin(), objects.end(), this));
    }

    static ITypeInfo* typeInfo() { return screenReaderFunctions().accessibleType; }

    // The standard object's `method`, which is held for the call, since the
    // call may end in the control's destruction. Once it is gone, the out
    // parameters are cleared and the call fails.
    template <typename Method, typename... Arguments>
    HRESULT forward(Method method, Arguments... arguments) {
        if (!standard)
            return disconnected(arguments...);
        IAccessible* held = standard;
        held->AddRef();
        const HRESULT result = (held->*method)(arguments...);
        held->Release();
        return result;
    }

    IAccessible* standard; // null once the control is destroyed
    HWND control;
    AccessibleTexts texts;
    LONG references = 1;
};

// The verdict's live setting, given through Dynamic Annotation once COM is
// loaded, at the first announcement, and taken back as the control goes.
struct LiveRegion {
    HWND control = nullptr; // annotated, or tried: Windows 7 knows no LiveSetting
    IAccPropServices* services = nullptr;
} liveRegion;

void makePoliteLiveRegion(HWND verdict) {
    if (liveRegion.control == verdict)
        return;
    liveRegion.control = verdict;
    const ScreenReaderFunctions& com = screenReaderFunctions();
    IAccPropServices* services = nullptr;
    if (!com.ready() ||
        FAILED(com.coCreateInstance(AccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                    AccPropServicesInterface, reinterpret_cast<void**>(&services))))
        return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = LiveSettingPolite;
    if (SUCCEEDED(services->SetHwndProp(verdict, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        LiveSettingProperty, polite)))
        liveRegion.services = services;
    else
        services->Release();
}

LRESULT CALLBACK verdictProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                             DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        if (liveRegion.control == hwnd && liveRegion.services) {
            MSAAPROPID property = LiveSettingProperty;
            liveRegion.services->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                CHILDID_SELF, &property, 1);
            liveRegion.services->Release();
        }
        if (liveRegion.control == hwnd)
            liveRegion = LiveRegion();
        RemoveWindowSubclass(hwnd, verdictProc, id);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

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
    const LRESULT result =
        com.lresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(object));
    object->Release();
    return result < 0 ? 0 : result;
}

void accessibleControlGone(HWND control) {
    // A copy: letting go of a standard object may run code of oleacc's.
    const std::vector<AccessibleControl*> objects = liveObjects();
    for (AccessibleControl* object : objects)
        if (object->window() == control)
            object->cutOff();
}

HWND createVerdictControl(HWND form) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE));
    // Not visible, so out of the tab order and of the arrows' groups; a group
    // of its own after the last control.
    HWND verdict = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_GROUP | SS_NOPREFIX, 0, 0, 0, 0,
                                   form, nullptr, instance, nullptr);
    if (!verdict)
        controlFailed(L"verdict label", L"be created");
    if (!SetWindowSubclass(verdict, verdictProc, 0, 0))
        controlFailed(L"verdict label", L"be subclassed");
    return verdict;
}

void announce(HWND output, HWND verdict, const std::wstring& text) {
    if (!SetWindowTextW(verdict, text.c_str()))
        controlFailed(L"verdict label", L"take the verdict");
    if (raiseUiaNotification(output, text))
        return;
    makePoliteLiveRegion(verdict);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, verdict, OBJID_CLIENT, CHILDID_SELF);
}

void endScreenReaderSupport() {
    if (!comStarted)
        return; // no screen reader came: nothing was loaded
    comStarted = false;
    screenReaderFunctions().coUninitialize();
}
