#include "MainForm.h"

#include "Accessibility.h"
#include "ControlError.h"
#include "SystemFunction.h"

#include <commctrl.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
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

// Buttons take '&' for the mark of an access key; the quiz has none, so each
// '&' of a caption is doubled on the way in and halved on the way out.
std::wstring withoutAccessKeys(std::wstring_view caption) {
    std::wstring shown;
    for (wchar_t c : caption) {
        shown += c;
        if (c == L'&')
            shown += L'&';
    }
    return shown;
}

std::wstring withAccessKeysUndone(std::wstring_view shown) {
    std::wstring caption;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        caption += shown[i];
        if (shown[i] == L'&' && i + 1 < shown.size() && shown[i + 1] == L'&')
            ++i;
    }
    return caption;
}

std::wstring windowText(HWND hwnd, const wchar_t* kind) {
    SetLastError(ERROR_SUCCESS);
    const int length = GetWindowTextLengthW(hwnd);
    if (length == 0 && GetLastError() != ERROR_SUCCESS)
        controlFailed(kind, L"tell the length of its text");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SetLastError(ERROR_SUCCESS);
    const int read = GetWindowTextW(hwnd, text.data(), length + 1);
    if (read == 0 && GetLastError() != ERROR_SUCCESS)
        controlFailed(kind, L"give its text");
    text.resize(static_cast<std::size_t>(read));
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

HFONT makeFont(UINT dpi) {
    const window::WindowDef& def = window::windowDefinition();
    HFONT font =
        CreateFontW(-MulDiv(def.fontPointSize, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL,
                    FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, fontFace().c_str());
    if (!font)
        controlFailed(L"window", L"make its font");
    return font;
}

} // namespace

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
    const std::wstring caption = wide(def.caption);
    if (!CreateWindowExW(FormExStyle, ClassName, caption.c_str(), FormStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         this))
        controlFailed(L"window", L"be created");
    createControls(instance);
    layout(windowDpi(form), nullptr);
    Form_Load();
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
    const auto defs = window::controlDefinitions();
    controls.reserve(defs.size()); // the controls' subclasses keep pointers into it

    // Creation order is tab order: the output box first, then each frame
    // followed by its column top to bottom, then the push buttons. A new
    // group starts at each frame, at each column's first button and at the
    // first control after the last column.
    for (const ControlDef& def : defs)
        if (def.kind == Kind::TextBox)
            create(instance, def, def.left, def.top,
                   WS_GROUP | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                       ES_AUTOVSCROLL);
    bool firstPushButton = true;
    for (const ControlDef& def : defs) {
        switch (def.kind) {
        case Kind::TextBox:
        case Kind::OptionButton:
            break;
        case Kind::Label:
            create(instance, def, def.left, def.top,
                   WS_GROUP | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
            break;
        case Kind::PushButton:
            create(instance, def, def.left, def.top,
                   WS_TABSTOP | BS_OWNERDRAW | (firstPushButton ? WS_GROUP : 0));
            firstPushButton = false;
            break;
        case Kind::Frame: {
            create(instance, def, def.left, def.top, WS_GROUP | BS_GROUPBOX);
            // Its column, as the definition orders it on screen. The buttons
            // are the main window's own children, placed from the frame's top left.
            const std::wstring description =
                wide(def.member.index == 0 ? window::windowDefinition().scienceDescription
                                           : window::windowDefinition().subjectDescription);
            int row = 0;
            for (const ControlDef& child : defs) {
                if (child.kind != Kind::OptionButton || !(child.parent == def.member))
                    continue;
                create(instance, child, def.left + child.left, def.top + child.top,
                       BS_AUTORADIOBUTTON | (row == 0 ? WS_GROUP | WS_TABSTOP : 0));
                std::wstring& said = controls.back().description = description;
                const std::size_t mark = said.find(L"%1");
                if (mark != std::wstring::npos)
                    said.replace(mark, 2, std::to_wstring(++row));
                else
                    ++row;
            }
            break;
        }
        }
    }
}

void MainForm::create(HINSTANCE instance, const ControlDef& def, int left, int top, DWORD style) {
    const wchar_t* className = def.kind == Kind::TextBox ? L"EDIT"
                               : def.kind == Kind::Label ? L"STATIC"
                                                         : L"BUTTON";
    std::wstring text = wide(def.caption);
    if (def.kind == Kind::Frame || def.kind == Kind::OptionButton)
        text = withoutAccessKeys(text);
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
    control.left = left;
    control.top = top;
    if (def.background != window::SystemWindowColour) {
        control.brush = CreateSolidBrush(colourRef(def.background));
        if (!control.brush)
            controlFailed(kindName(def.kind), L"get its background");
    }
    const int index = def.member.index;
    switch (def.kind) {
    case Kind::Label:
        label1 = handle;
        break;
    case Kind::Frame:
        frame1[index == 0 ? 0 : 1] = handle;
        break;
    case Kind::OptionButton: {
        const bool science = def.member.name == "Option1";
        (science ? option1 : option2).at(index) = handle;
        std::size_t column = science ? 0 : 1;
        if (!firstOnScreen[column])
            firstOnScreen[column] = handle;
        break;
    }
    case Kind::PushButton:
        command1.at(index) = handle;
        break;
    case Kind::TextBox:
        text1 = handle;
        break;
    }
    if ((def.kind == Kind::OptionButton || def.kind == Kind::TextBox) &&
        !SetWindowSubclass(handle, controlProc, 0, reinterpret_cast<DWORD_PTR>(&control)))
        controlFailed(kindName(def.kind), L"be subclassed");
}

void MainForm::layout(UINT newDpi, const RECT* suggested) {
    dpi = newDpi;
    const auto px = [this](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    HFONT newFont = makeFont(dpi);
    for (const Control& control : controls) {
        if (!MoveWindow(control.handle, px(control.left), px(control.top), px(control.def->width),
                        px(control.def->height), TRUE))
            controlFailed(kindName(control.def->kind), L"take its place");
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), TRUE);
    }
    if (font)
        DeleteObject(font);
    font = newFont;

    const window::WindowDef& def = window::windowDefinition();
    RECT frame{0, 0, px(def.clientWidth), px(def.clientHeight)};
    adjustWindowRect(frame, dpi);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE);
    if (!SetWindowPos(form, nullptr, suggested ? suggested->left : 0,
                      suggested ? suggested->top : 0, frame.right - frame.left,
                      frame.bottom - frame.top, flags))
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
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
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
        FillRect(reinterpret_cast<HDC>(wParam), &client, background);
        return 1;
    }
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
        break;
    case WM_GETOBJECT:
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
            const window::WindowDef& def = window::windowDefinition();
            AccessibleTexts texts;
            if (control.def->kind == Kind::TextBox) {
                texts.name = wide(def.outputName);
            } else {
                texts.emptyName = wide(def.solvedName);
                texts.description = control.description;
            }
            if (const LRESULT object = accessibleObject(hwnd, wParam, texts))
                return object;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, controlProc, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void MainForm::onCommand(int id, int code, HWND sender) {
    if (id == IDOK) {
        // Enter: presses the focused push button, and nothing anywhere else.
        HWND focus = GetFocus();
        if (focus && (focus == command1[0] || focus == command1[1]))
            SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    const auto at = static_cast<std::size_t>(id - FirstControlId);
    if (id < FirstControlId || at >= controls.size() || controls[at].handle != sender)
        return; // IDCANCEL, from Escape, among others
    const ControlDef& def = *controls[at].def;
    if (def.kind == Kind::OptionButton && code == BN_CLICKED &&
        SendMessageW(sender, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        if (def.member.name == "Option1")
            Option1_Click(def.member.index);
        else
            Option2_Click(def.member.index);
    }
    // An owner-drawn button takes a quick second click for a double click.
    if (def.kind == Kind::PushButton && (code == BN_CLICKED || code == BN_DOUBLECLICKED))
        Command1_Click(def.member.index);
}

void MainForm::Command1_Click(int Index) {
    rules.Command1_Click(static_cast<RowIndex>(Index));
    // The output is written in steps, so screen readers hear it once the
    // command is done.
    announcement = wide(quiz::spokenVerdict(outputText()));
    announce(text1, announcement);
}

LRESULT MainForm::onControlColour(HDC dc, HWND control) {
    for (const Control& c : controls) {
        if (c.handle != control)
            continue;
        if (!c.brush)
            break; // the output box: the system's window colours, also while read-only
        SetBkColor(dc, colourRef(c.def->background));
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(c.brush);
    }
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void MainForm::drawPushButton(const DRAWITEMSTRUCT& item) {
    const auto at = static_cast<std::size_t>(item.CtlID) - FirstControlId;
    if (at >= controls.size() || controls[at].handle != item.hwndItem)
        return;
    const Control& button = controls[at];
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    FillRect(dc, &face, button.brush);
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    const std::wstring text = windowText(item.hwndItem, L"push button");
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT textRect = face;
    if (pressed)
        OffsetRect(&textRect, 1, 1);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&face, -1, -1);
        DrawFocusRect(dc, &face);
    }
}

HWND MainForm::option(OptionGroup group, RowIndex row) const {
    if (!quiz::isRow(row))
        return nullptr;
    return group == OptionGroup::Option1 ? option1[row] : option2[row];
}

std::u16string MainForm::caption(OptionGroup group, RowIndex row) const {
    HWND button = option(group, row);
    return button ? narrow(withAccessKeysUndone(windowText(button, L"option button")))
                  : std::u16string();
}

void MainForm::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    if (HWND button = option(group, row))
        setWindowText(button, withoutAccessKeys(wide(text)), L"option button", L"take its caption");
}

bool MainForm::isSelected(OptionGroup group, RowIndex row) const {
    HWND button = option(group, row);
    return button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainForm::deselect(OptionGroup group, RowIndex row) {
    HWND button = option(group, row);
    if (!button)
        return;
    SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
    if (SendMessageW(button, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
        controlFailed(L"option button", L"be deselected");
    // Drawn afresh on its background: a themed button may draw only the new
    // mark, over the old one.
    if (!InvalidateRect(button, nullptr, TRUE))
        controlFailed(L"option button", L"be drawn again");
    keepColumnReachable(group);
}

void MainForm::keepColumnReachable(OptionGroup group) {
    // A radio button is a tab stop while it is selected; with none selected
    // the column's top button takes the part, so Tab still enters the column.
    const auto& column = group == OptionGroup::Option1 ? option1 : option2;
    for (HWND button : column)
        if (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return;
    HWND first = firstOnScreen[group == OptionGroup::Option1 ? 0 : 1];
    const LONG_PTR style = GetWindowLongPtrW(first, GWL_STYLE);
    if (style & WS_TABSTOP)
        return;
    SetLastError(ERROR_SUCCESS);
    if (!SetWindowLongPtrW(first, GWL_STYLE, style | WS_TABSTOP) && GetLastError() != ERROR_SUCCESS)
        controlFailed(L"option button", L"become a tab stop");
}

std::u16string MainForm::outputText() const {
    return narrow(windowText(text1, L"text box"));
}

void MainForm::setOutputText(std::u16string_view text) {
    setWindowText(text1, wide(text), L"text box", L"take its text");
}
