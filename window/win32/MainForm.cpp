#include "MainForm.h"

#include "Accessibility.h"
#include "ControlError.h"
#include "SystemFunction.h"

#include <commctrl.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

using quiz::OptionGroup;
using quiz::RowIndex;
using window::ControlDef;
using window::Kind;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");

namespace {

constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU; // fixed border, no min/max
constexpr DWORD FormExStyle = 0;
constexpr int FirstControlId = 100; // clear of IDOK and IDCANCEL, which the dialog keys send
constexpr wchar_t ClassName[] = L"zoomatch.MainForm";
// Posted to the window when painting failed: the failure is reported outside the paint.
constexpr UINT PaintFailedMessage = WM_APP;

std::wstring wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

std::u16string narrow(std::wstring_view text) {
    return {text.begin(), text.end()};
}

std::wstring wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

const wchar_t* kindName(Kind kind) {
    switch (kind) {
    case Kind::Label:
        return L"label";
    case Kind::Frame:
        return L"frame";
    case Kind::OptionButton:
        return L"option button";
    case Kind::PushButton:
        return L"push button";
    case Kind::TextBox:
        return L"text box";
    }
    return L"control";
}

// A control's text; false when it cannot be read. Zero characters are a
// failure only with an error value set, and not even then while the control
// is there: what set it was another component on the way (a screen reader's
// hook in this process, say), and the text is simply empty.
bool readWindowText(HWND hwnd, std::wstring& text) {
    text.clear();
    SetLastError(ERROR_SUCCESS);
    const int length = GetWindowTextLengthW(hwnd);
    if (length == 0)
        return GetLastError() == ERROR_SUCCESS || IsWindow(hwnd);
    text.resize(static_cast<std::size_t>(length) + 1);
    SetLastError(ERROR_SUCCESS);
    const int read = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(read));
    return read > 0 || GetLastError() == ERROR_SUCCESS || IsWindow(hwnd);
}

std::wstring windowText(HWND hwnd, const wchar_t* kind) {
    std::wstring text;
    if (!readWindowText(hwnd, text))
        controlFailed(kind, L"give its text");
    return text;
}

void setWindowText(HWND hwnd, const std::wstring& text, const wchar_t* kind,
                   const wchar_t* operation) {
    if (!SetWindowTextW(hwnd, text.c_str()))
        controlFailed(kind, operation);
}

COLORREF colourRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

UINT windowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        systemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(hwnd))
            return dpi;
    // Windows 8.1 and 10 before 1607: the DPI of the window's monitor.
    if (const UINT dpi = monitorDpi(hwnd))
        return dpi;
    // Windows 7 and 8: one DPI for the whole system.
    HDC screen = GetDC(nullptr);
    if (!screen)
        controlFailed(L"window", L"read the screen's DPI");
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void adjustWindowRect(RECT& rect, UINT dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        systemFunction<AdjustForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    const BOOL done = adjustForDpi ? adjustForDpi(&rect, FormStyle, FALSE, FormExStyle, dpi)
                                   : AdjustWindowRectEx(&rect, FormStyle, FALSE, FormExStyle);
    if (!done)
        controlFailed(L"window", L"work out its size");
}

// The window's outer size around the definition's client area at `dpi`.
SIZE windowSize(UINT dpi) {
    const window::PixelRect client = window::clientRect(static_cast<int>(dpi));
    RECT frame{0, 0, client.width, client.height};
    adjustWindowRect(frame, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// High Contrast: the learner's own system colours replace the quiz's.
bool highContrastOn() {
    HIGHCONTRASTW setting{sizeof setting, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON);
}

int CALLBACK fontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Times New Roman, or its metric twin where it is not installed (Wine), so
// the captions take the same room everywhere.
const std::wstring& fontFace() {
    static const std::wstring face = [] {
        const window::WindowDef& def = window::windowDefinition();
        const std::wstring first = wide(def.fontFamily);
        LOGFONTW wanted{};
        wanted.lfCharSet = RUSSIAN_CHARSET;
        first.copy(wanted.lfFaceName, LF_FACESIZE - 1);
        bool found = false;
        if (HDC screen = GetDC(nullptr)) {
            EnumFontFamiliesExW(screen, &wanted, fontFound, reinterpret_cast<LPARAM>(&found), 0);
            ReleaseDC(nullptr, screen);
        }
        return found ? first : wide(def.fallbackFontFamily);
    }();
    return face;
}

// The font's size in points, at the window's DPI (a point is 20 twips).
HFONT makeFont(UINT dpi) {
    const window::WindowDef& def = window::windowDefinition();
    HFONT font = CreateFontW(-window::pixels(def.fontPointSize * 20, static_cast<int>(dpi)), 0, 0,
                             0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                             fontFace().c_str());
    if (!font)
        controlFailed(L"window", L"make its font");
    return font;
}

} // namespace

UINT monitorDpi(HWND window) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        loadSystemLibrary(L"shcore.dll")
            ? systemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor")
            : nullptr;
    constexpr int EffectiveDpi = 0; // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (!getDpiForMonitor || !monitor || FAILED(getDpiForMonitor(monitor, EffectiveDpi, &x, &y)))
        return 0;
    return y;
}

MainForm::MainForm(HINSTANCE instance, int show) {
    const window::WindowDef& def = window::windowDefinition();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        controlFailed(L"window", L"register its class");

    background = CreateSolidBrush(colourRef(def.background));
    if (!background)
        controlFailed(L"window", L"make its background");
    highContrast = highContrastOn();
    const std::wstring caption = wide(def.caption);
    if (!CreateWindowExW(FormExStyle, ClassName, caption.c_str(), FormStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         this))
        controlFailed(L"window", L"be created");
    createControls(instance);
    verdict = createVerdictControl(form);
    layout(windowDpi(form), nullptr);
    events.Form_Load();
    moveTabStop(quiz::OptionGroup::Option1);
    moveTabStop(quiz::OptionGroup::Option2);
    savedFocus = text1;
    ShowWindow(form, show);
    if (!UpdateWindow(form))
        controlFailed(L"window", L"be drawn");
    SetFocus(text1);
}

MainForm::~MainForm() {
    if (form)
        DestroyWindow(form);
    for (Control& control : controls)
        if (control.brush)
            DeleteObject(control.brush);
    if (font)
        DeleteObject(font);
    if (background)
        DeleteObject(background);
}

bool MainForm::handleDialogKeys(MSG& message) {
    return form && IsDialogMessageW(form, &message);
}

void MainForm::createControls(HINSTANCE instance) {
    controls.reserve(window::controlDefinitions().size()); // the subclasses keep pointers into it
    // Creation order is tab order, and a group runs from one WS_GROUP control
    // to the next: the label, then the tab order, each column after its frame
    // and a group of its own; each push button is a group of its own too.
    create(instance, *window::control({"Label1", 0}),
           WS_GROUP | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
    for (const ControlDef* def : window::tabOrder()) {
        switch (def->kind) {
        case Kind::TextBox:
            create(instance, *def,
                   WS_GROUP | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                       ES_AUTOVSCROLL);
            break;
        case Kind::OptionButton: {
            const bool top =
                def->member.index == window::columnRows(*window::optionGroup(def->member)).front();
            if (top)
                create(instance, *window::control(def->parent), WS_GROUP | BS_GROUPBOX);
            create(instance, *def, BS_AUTORADIOBUTTON | (top ? WS_GROUP : 0));
            break;
        }
        case Kind::PushButton:
            create(instance, *def, WS_GROUP | WS_TABSTOP | BS_OWNERDRAW);
            break;
        case Kind::Label:
        case Kind::Frame:
            break;
        }
    }
}

void MainForm::create(HINSTANCE instance, const ControlDef& def, DWORD style) {
    const wchar_t* className = def.kind == Kind::TextBox ? L"EDIT"
                               : def.kind == Kind::Label ? L"STATIC"
                                                         : L"BUTTON";
    const std::wstring text = wide(window::withoutAccessKeys(def.caption));
    const int id = FirstControlId + static_cast<int>(controls.size());
    HWND handle =
        CreateWindowExW(def.kind == Kind::TextBox ? WS_EX_CLIENTEDGE : 0, className, text.c_str(),
                        WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, form,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!handle)
        controlFailed(kindName(def.kind), L"be created");

    Control& control = controls.emplace_back();
    control.handle = handle;
    control.def = &def;
    if (def.background != window::SystemWindowColour) {
        control.brush = CreateSolidBrush(colourRef(def.background));
        if (!control.brush)
            controlFailed(kindName(def.kind), L"get its background");
    }
    if (const auto group = window::optionGroup(def.member))
        options[quiz::column(*group)][def.member.index] = handle;
    if (def.kind == Kind::TextBox)
        text1 = handle;
    if (def.kind != Kind::Label && def.kind != Kind::Frame &&
        !SetWindowSubclass(handle, controlProc, 0, reinterpret_cast<DWORD_PTR>(&control)))
        controlFailed(kindName(def.kind), L"be subclassed");
}

void MainForm::layout(UINT dpi, const RECT* suggested) {
    HFONT newFont = makeFont(dpi);
    for (const Control& control : controls) {
        const window::PixelRect place = window::windowRect(*control.def, static_cast<int>(dpi));
        if (!MoveWindow(control.handle, place.left, place.top, place.width, place.height, TRUE))
            controlFailed(kindName(control.def->kind), L"take its place");
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), TRUE);
    }
    if (font)
        DeleteObject(font);
    font = newFont;

    // Where Windows suggests a place, it planned the size too (from
    // WM_GETDPISCALEDSIZE); both are taken as they are.
    const SIZE size = windowSize(dpi);
    const BOOL placed =
        suggested ? SetWindowPos(form, nullptr, suggested->left, suggested->top,
                                 suggested->right - suggested->left,
                                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE)
                  : SetWindowPos(form, nullptr, 0, 0, size.cx, size.cy,
                                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    if (!placed)
        controlFailed(L"window", L"take its size");
}

LRESULT CALLBACK MainForm::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->form = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->form = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT MainForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            // Enter: presses the focused push button, and nothing anywhere else.
            const Control* focus = find(GetFocus());
            if (focus && focus->def->kind == Kind::PushButton)
                onCommand(BN_CLICKED, focus->handle);
        } else {
            onCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_BUTTON)
            break;
        drawPushButton(item);
        return TRUE;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(form, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 highContrast ? GetSysColorBrush(COLOR_WINDOW) : background);
        return 1;
    }
    case PaintFailedMessage:
        reportKeptFailure();
        return 0;
    case WM_SYSCOLORCHANGE:
        // The controls keep colours of their own too.
        for (const Control& control : controls)
            SendMessageW(control.handle, WM_SYSCOLORCHANGE, 0, 0);
        highContrast = highContrastOn();
        redrawAll();
        return 0;
    case WM_SETTINGCHANGE:
        if (highContrastOn() != highContrast) {
            highContrast = !highContrast;
            redrawAll();
        }
        return 0;
    case WM_ACTIVATE:
        // The focus goes back where it was when the learner left the window.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(form, focus))
                savedFocus = focus;
        } else if (savedFocus && IsWindow(savedFocus)) {
            SetFocus(savedFocus);
            return 0;
        }
        break;
    case WM_GETDPISCALEDSIZE:
        // Asked before a move to a monitor of another DPI: the size the
        // window will take there.
        *reinterpret_cast<SIZE*>(lParam) = windowSize(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        layout(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(form, message, wParam, lParam);
}

LRESULT CALLBACK MainForm::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
    const auto& control = *reinterpret_cast<const Control*>(data);
    switch (message) {
    case WM_GETDLGCODE:
        // A multi-line edit box wants every key, so Tab would never leave it
        // and Escape would close the window; it keeps the arrows and letters.
        if (control.def->kind == Kind::TextBox)
            return DefSubclassProc(hwnd, message, wParam, lParam) &
                   ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        // The arrows go to a push button, which does nothing with them,
        // rather than from one button to the other.
        if (control.def->kind == Kind::PushButton)
            return DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTARROWS;
        break;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button only tells of a double click; here the second
        // click takes the focus and presses it like the first.
        if (control.def->kind == Kind::PushButton)
            return DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
        break;
    case WM_GETOBJECT:
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT) &&
            control.def->kind != Kind::PushButton) {
            const window::WindowDef& def = window::windowDefinition();
            AccessibleTexts texts;
            if (control.def->kind == Kind::TextBox) {
                texts.name = wide(def.outputName);
            } else {
                texts.emptyName = wide(def.solvedName);
                texts.description = wide(window::description(*control.def));
            }
            if (const LRESULT object = accessibleObject(hwnd, wParam, texts))
                return object;
        }
        break;
    case WM_NCDESTROY:
        accessibleControlGone(hwnd);
        RemoveWindowSubclass(hwnd, controlProc, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void MainForm::onCommand(int code, HWND sender) {
    const Control* control = find(sender);
    if (!control)
        return; // IDCANCEL, from Escape, among others
    const window::Member& member = control->def->member;
    const auto array = window::controlArray(member);
    if (!array)
        return;
    // An option's click comes once it is selected.
    if (code != BN_CLICKED || (control->def->kind == Kind::OptionButton &&
                               SendMessageW(sender, BM_GETCHECK, 0, 0) != BST_CHECKED))
        return;
    const auto said = events.click(*array, member.index);
    if (const auto group = window::optionGroup(member))
        moveTabStop(*group);
    if (said) {
        // The output is written in steps, so screen readers hear it once the
        // command is done.
        announcement = wide(*said);
        ++announced;
        announce(text1, verdict, announcement);
    }
}

void MainForm::paintFailed(const wchar_t* kind, const wchar_t* operation) {
    keepPaintFailure(form, PaintFailedMessage, kind, operation);
}

void MainForm::redrawAll() {
    if (!RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN))
        controlFailed(L"window", L"be drawn again");
}

LRESULT MainForm::onControlColour(HDC dc, HWND handle) {
    const Control* control = find(handle);
    // The output box, and every control in High Contrast: the system's window
    // colours, also while read-only.
    const bool system = !control || !control->brush || highContrast;
    const COLORREF back = system ? GetSysColor(COLOR_WINDOW) : colourRef(control->def->background);
    const COLORREF text =
        system ? GetSysColor(COLOR_WINDOWTEXT) : colourRef(window::windowDefinition().textColour);
    if (SetBkColor(dc, back) == CLR_INVALID || SetTextColor(dc, text) == CLR_INVALID)
        paintFailed(control ? kindName(control->def->kind) : L"control", L"take its colours");
    return reinterpret_cast<LRESULT>(system ? GetSysColorBrush(COLOR_WINDOW) : control->brush);
}

void MainForm::drawPushButton(const DRAWITEMSTRUCT& item) {
    const Control* button = find(item.hwndItem);
    if (!button)
        return;
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    // In High Contrast: the system's button colours, and its highlight while pressed.
    HBRUSH brush = !highContrast ? button->brush
                   : pressed     ? GetSysColorBrush(COLOR_HIGHLIGHT)
                                 : GetSysColorBrush(COLOR_BTNFACE);
    const COLORREF ink = !highContrast ? colourRef(window::windowDefinition().textColour)
                         : pressed     ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                       : GetSysColor(COLOR_BTNTEXT);
    FillRect(dc, &face, brush);
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    std::wstring text;
    if (!readWindowText(item.hwndItem, text))
        return paintFailed(L"push button", L"give its text");
    HGDIOBJ previous = SelectObject(dc, font);
    if (!previous || previous == HGDI_ERROR)
        return paintFailed(L"push button", L"take its font");
    RECT textRect = face;
    if (pressed)
        OffsetRect(&textRect, 1, 1);
    const bool drawn =
        SetBkMode(dc, TRANSPARENT) && SetTextColor(dc, ink) != CLR_INVALID &&
        (text.empty() || DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                                   DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX));
    SelectObject(dc, previous);
    if (!drawn)
        return paintFailed(L"push button", L"show its caption");
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&face, -1, -1);
        DrawFocusRect(dc, &face);
    }
}

const MainForm::Control* MainForm::find(HWND handle) const {
    for (const Control& control : controls)
        if (handle && control.handle == handle)
            return &control;
    return nullptr;
}

HWND MainForm::handle(const window::Member& member) const {
    if (member.name.empty())
        return form;
    for (const Control& control : controls)
        if (control.def->member == member)
            return control.handle;
    return nullptr;
}

HWND MainForm::option(OptionGroup group, RowIndex row) const {
    return options[quiz::column(group)][row];
}

std::u16string MainForm::caption(OptionGroup group, RowIndex row) const {
    return window::withAccessKeysUndone(narrow(windowText(option(group, row), L"option button")));
}

void MainForm::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    setWindowText(option(group, row), wide(window::withoutAccessKeys(text)), L"option button",
                  L"take its caption");
}

bool MainForm::isSelected(OptionGroup group, RowIndex row) const {
    return SendMessageW(option(group, row), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainForm::deselect(OptionGroup group, RowIndex row) {
    HWND button = option(group, row);
    SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
    if (SendMessageW(button, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
        controlFailed(L"option button", L"be deselected");
    // Drawn afresh on its background: a themed button may draw only the new
    // mark, over the old one.
    if (!InvalidateRect(button, nullptr, TRUE))
        controlFailed(L"option button", L"be drawn again");
    moveTabStop(group);
}

void MainForm::moveTabStop(OptionGroup group) {
    // The dialog keyboard's Tab goes to the next control with WS_TABSTOP; in
    // a column that is its selected option, or its top one when none is.
    HWND stop = option(group, window::columnRows(group).front());
    for (RowIndex row = 0; row < quiz::RowCount; ++row)
        if (isSelected(group, row))
            stop = option(group, row);
    for (HWND button : options[quiz::column(group)]) {
        const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
        const LONG_PTR wanted = button == stop ? style | WS_TABSTOP : style & ~WS_TABSTOP;
        if (wanted == style)
            continue;
        SetLastError(ERROR_SUCCESS);
        if (!SetWindowLongPtrW(button, GWL_STYLE, wanted) && GetLastError() != ERROR_SUCCESS)
            controlFailed(L"option button", L"move its tab stop");
    }
}

std::u16string MainForm::outputText() const {
    return narrow(windowText(text1, L"text box"));
}

void MainForm::setOutputText(std::u16string_view text) {
    setWindowText(text1, wide(text), L"text box", L"take its text");
}
