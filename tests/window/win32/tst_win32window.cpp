// The real Win32 window in this process, driven through real input: every
// scenario and a random game, each step compared with the window as a learner
// and a screen reader find it; then places and font at the screen's DPI
// (ZOOMATCH_EXPECTED_DPI, 96 unless given), colours, the fixed window, and what
// a screen reader reads. ZOOMATCH_RANDOM_EVENTS and _SEED size the random game.
#define DOCTEST_CONFIG_IMPLEMENT
#include "../../quiz/Utf16Text.h"
#include "Accessibility.h"
#include "FormDefinition.h"
#include "MainForm.h"
#include "QuizTable.h"
#include "WindowBehaviour.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

using behaviour::Key;
using quiz::OptionGroup;
using window::ControlDef;
using window::Member;

namespace {

constexpr Member Text1{"Text1", 0}, Check{"Command1", 0}, Clear{"Command1", 1};

template <class Text> std::u16string u16(const Text& text) {
    return {std::begin(text), std::end(text)};
}

std::u16string text(HWND hwnd) {
    std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    return u16(
        std::wstring_view(buffer.data(), GetWindowTextW(hwnd, buffer.data(), buffer.size())));
}

// The live-region WinEvents raised since the last look, each with the name a
// screen reader reads from the event's object there and then: what screen
// readers are told where UI Automation's notification is missing (Windows 7
// to 10 1703, and Wine).
struct LiveRegionEvent {
    HWND hwnd;
    std::u16string name;
};
std::vector<LiveRegionEvent> liveRegionEvents;
void CALLBACK winEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    std::u16string name = u"(no object)";
    IAccessible* accessible = nullptr;
    VARIANT which{};
    if (SUCCEEDED(AccessibleObjectFromEvent(hwnd, object, child, &accessible, &which))) {
        BSTR text = nullptr;
        name = SUCCEEDED(accessible->get_accName(which, &text)) && text
                   ? u16(std::wstring_view(text, SysStringLen(text)))
                   : u"(no name)";
        SysFreeString(text);
        accessible->Release();
    }
    liveRegionEvents.push_back({hwnd, name});
}
const bool uiaNotifications = [] {
    HMODULE uia = LoadLibraryW(L"uiautomationcore.dll");
    return uia && GetProcAddress(uia, "UiaRaiseNotificationEvent");
}();

// The parts of a state as text, so that a difference shows whole: an option
// selected or not, with its caption; what screen readers were told (how often,
// the last text) and, without UI Automation's notification, what a screen
// reader reads at each live-region event.
std::u16string line(const Member& option, bool selected, std::u16string_view caption) {
    return std::u16string(u"\n")
        .append(u16(window::controlId(option)))
        .append(selected ? u" [x] " : u" [ ] ")
        .append(caption);
}
std::u16string heard(long long times, std::u16string_view last,
                     const std::vector<std::u16string_view>& liveRegionNames) {
    std::u16string s = u"\ntold " + u16(std::to_string(times));
    if (times > 0)
        s.append(u" ").append(last);
    if (!uiaNotifications)
        for (const std::u16string_view name : liveRegionNames)
            s.append(u"\nlive region reads ").append(name);
    return s;
}

// A window of its own, in front, with the program's message loop.
struct Window {
    std::unique_ptr<MainForm> form = std::make_unique<MainForm>(GetModuleHandleW(nullptr));
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        winEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    long long told = 0; // announcements already looked at

    Window() {
        SetForegroundWindow(form->window());
        settle();
        liveRegionEvents.clear();
    }
    ~Window() { UnhookWinEvent(hook); }

    HWND operator[](const Member& member) const { return form->handle(member); }

    // Runs the message loop until everything given to the window is handled.
    void settle() const {
        MSG message;
        do {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                if (message.message != WM_QUIT && !form->handleDialogKeys(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
        } while (GetQueueStatus(QS_ALLINPUT) != 0);
    }
    void send(std::vector<INPUT> inputs) const {
        REQUIRE(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
                inputs.size());
        settle();
    }
    // The mouse's main button at the centre of a control.
    void click(HWND control) const {
        RECT rect;
        REQUIRE(GetWindowRect(control, &rect));
        REQUIRE(SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
        INPUT down{INPUT_MOUSE, {}}, up = down;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        send({down, up});
    }
    void key(Key pressed) const {
        // In the order of behaviour::Key.
        constexpr WORD codes[] = {VK_TAB,   VK_TAB,   VK_UP,     VK_DOWN,  VK_LEFT,
                                  VK_RIGHT, VK_SPACE, VK_RETURN, VK_ESCAPE};
        const WORD vk = codes[static_cast<int>(pressed)];
        std::vector<INPUT> inputs;
        const auto stroke = [&inputs](WORD code, DWORD up) {
            const bool arrow = code >= VK_LEFT && code <= VK_DOWN; // extended keys
            inputs.push_back({INPUT_KEYBOARD, {}});
            inputs.back().ki = {code, static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC)),
                                up | (arrow ? KEYEVENTF_EXTENDEDKEY : 0u), 0, 0};
        };
        if (pressed == Key::ShiftTab)
            stroke(VK_SHIFT, 0);
        stroke(vk, 0);
        stroke(vk, KEYEVENTF_KEYUP);
        if (pressed == Key::ShiftTab)
            stroke(VK_SHIFT, KEYEVENTF_KEYUP);
        send(inputs);
    }

    // The window as a step describes it, read from the controls.
    std::string state() {
        std::u16string s = u"focus none";
        for (const ControlDef& def : window::controlDefinitions())
            if ((*this)[def.member] == GetFocus())
                s = u"focus " + u16(window::controlId(def.member));
        for (const ControlDef& def : window::controlDefinitions())
            if (HWND option = window::optionGroup(def.member) ? (*this)[def.member] : nullptr)
                s += line(def.member, SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED,
                          text(option));
        const long long before = std::exchange(told, form->announcements());
        s += u"\noutput " + text((*this)[Text1]);
        std::vector<std::u16string_view> read;
        for (const LiveRegionEvent& event : liveRegionEvents)
            read.push_back(event.name);
        s += heard(told - before, u16(form->lastAnnouncement()), read);
        liveRegionEvents.clear();
        return quiz::toUtf8(s);
    }
};

// The same as a step gives it.
std::string expected(const behaviour::Step& step) {
    std::u16string s = u"focus " + u16(window::controlId(step.focus));
    for (const ControlDef& def : window::controlDefinitions())
        if (const auto group = window::optionGroup(def.member))
            s += line(def.member,
                      def.member.index ==
                          (*group == OptionGroup::Option1 ? step.science : step.subject),
                      behaviour::expectedCaption(step, *group, def.member.index));
    s += u"\noutput " + step.output;
    std::vector<std::u16string_view> read;
    if (step.announced)
        read.push_back(*step.announced);
    s += heard(step.announced ? 1 : 0, step.announced.value_or(u""), read);
    return quiz::toUtf8(s);
}

// Plays a scenario on a fresh window; false at the first step that differs.
bool play(const behaviour::Scenario& scenario) {
    Window w;
    for (std::size_t at = 0; at < scenario.steps.size(); ++at) {
        const behaviour::Step& step = scenario.steps[at];
        const behaviour::Input& input = step.input;
        if (input.kind == behaviour::Input::Kind::Click)
            w.click(w[input.control]);
        else if (input.kind == behaviour::Input::Kind::Key)
            w.key(input.key);
        const std::string seen = w.state(), want = expected(step);
        if (seen != want) {
            INFO(std::string(scenario.name), ", step ", at, ": ",
                 input.kind == behaviour::Input::Kind::Key ? behaviour::keyName(input.key)
                                                           : window::controlId(input.control));
            CHECK(seen == want);
            return false;
        }
    }
    return true;
}

// The control's rectangle in the client area.
window::PixelRect placed(const Window& w, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, w.form->window(), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The client area as it stands on screen, once what waits is drawn.
struct Screen {
    HWND form;
    HDC dc = (RedrawWindow(form, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW), GetDC(form));
    ~Screen() { ReleaseDC(form, dc); }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};

// Points in twips from the client area's top left, clear of texts and edges,
// with the quiz's colour there.
const std::tuple<const char*, int, int, COLORREF> colourSamples[] = {
    {"window", 60, 60, RGB(0xC0, 0xC0, 0xFF)},
    {"Label1", 1020, 45, RGB(0xFF, 0xC0, 0x80)},
    {"Frame1(0)", 180, 2000, RGB(0xC0, 0xC0, 0xFF)},
    {"Option1(0)", 240 + 2175 - 30, 780 + 15, RGB(0xC0, 0xFF, 0xC0)},
    {"Option1(9)", 240 + 2175 - 30, 3480 + 15, RGB(0xC0, 0xFF, 0xC0)},
    {"Option2(6)", 2760 + 3735 - 30, 780 + 15, RGB(0xFF, 0xC0, 0xFF)},
    {"Option2(4)", 2760 + 3735 - 30, 3480 + 15, RGB(0xFF, 0xC0, 0xFF)},
    {"Command1(1)", 450, 4050, RGB(0xFF, 0x80, 0x80)},
    {"Command1(0)", 1770, 4050, RGB(0xC0, 0xFF, 0xC0)},
    {"Text1(0)", 270, 5985, GetSysColor(COLOR_WINDOW)},
};

// Wine neither reports High Contrast on nor lets it be set: the test answers
// SPI_GETHIGHCONTRAST in Windows' stead, in this program's import of
// SystemParametersInfoW, which the window's code calls through.
bool highContrast = false;
const auto systemParameters = std::bit_cast<decltype(&SystemParametersInfoW)>(
    GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoW"));
BOOL WINAPI answerHighContrast(UINT action, UINT size, void* data, UINT flags) {
    if (action != SPI_GETHIGHCONTRAST)
        return systemParameters(action, size, data, flags);
    static_cast<HIGHCONTRASTW*>(data)->dwFlags =
        HCF_AVAILABLE | (highContrast ? HCF_HIGHCONTRASTON : 0);
    return TRUE;
}
bool answerSystemParameters() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool turned = false;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name; ++dll)
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
             slot->u1.Function; ++slot)
            if (slot->u1.Function == reinterpret_cast<ULONG_PTR>(systemParameters)) {
                DWORD was;
                VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(&answerHighContrast);
                VirtualProtect(slot, sizeof *slot, was, &was);
                turned = true;
            }
    return turned;
}

// What a screen reader reads of a control.
struct Accessible {
    std::u16string name, description, value;
    long role = 0, state = 0;
};

Accessible accessible(HWND control) {
    IAccessible* object = nullptr;
    REQUIRE(SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&object))));
    VARIANT self{}, result{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Accessible seen;
    for (const auto& [get, into] : {std::pair{&IAccessible::get_accName, &seen.name},
                                    std::pair{&IAccessible::get_accDescription, &seen.description},
                                    std::pair{&IAccessible::get_accValue, &seen.value}}) {
        BSTR text = nullptr;
        if (SUCCEEDED((object->*get)(self, &text)) && text)
            *into = u16(std::wstring_view(text, SysStringLen(text)));
        SysFreeString(text);
    }
    if (SUCCEEDED(object->get_accRole(self, &result)) && result.vt == VT_I4)
        seen.role = result.lVal;
    if (SUCCEEDED(object->get_accState(self, &result)) && result.vt == VT_I4)
        seen.state = result.lVal;
    object->Release();
    return seen;
}

} // namespace

TEST_CASE("every scenario of the window's behaviour, through real clicks and keys") {
    for (const behaviour::Scenario& scenario : behaviour::scenarios())
        CHECK(play(scenario));
}

TEST_CASE("a random game through real clicks and keys matches the reference") {
    const auto seed = static_cast<unsigned>(fromEnvironment("ZOOMATCH_RANDOM_SEED", 20261208));
    const long long events = fromEnvironment("ZOOMATCH_RANDOM_EVENTS", 300);
    INFO("seed ", seed, ", ", events, " events");
    const behaviour::Scenario game = behaviour::randomGame(seed, events);
    if (events >= 1000) // a game that long reaches right pairs
        CHECK(std::any_of(game.steps.begin(), game.steps.end(), [](const behaviour::Step& step) {
            return step.output.ends_with(u"Позна.\r\n \r\n");
        }));
    CHECK(play(game));
}

TEST_CASE("every control stands where the definition puts it, in its font, at the screen's DPI") {
    const Window w;
    // The run was set up for this DPI; a window drawn at another proves nothing.
    const int dpi = static_cast<int>(fromEnvironment("ZOOMATCH_EXPECTED_DPI", 96));
    REQUIRE(GetDpiForWindow(w.form->window()) == static_cast<UINT>(dpi));
    LOGFONTW font;
    REQUIRE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w[{"Option1", 0}], WM_GETFONT, 0, 0)),
                       sizeof font, &font) == sizeof font);
    CHECK(font.lfCharSet == RUSSIAN_CHARSET);
    CHECK(font.lfHeight == -MulDiv(12, dpi, 72));
    CHECK(font.lfWeight == FW_NORMAL);
    const std::wstring face = font.lfFaceName;
    CHECK((face == L"Times New Roman" || face == L"Liberation Serif"));
    // The window follows a move to a screen of another DPI, and back. (Wine
    // draws the caption at the screen's DPI alone, so the height of the client
    // area is checked at that DPI, before the moves, only.)
    // Windows asks the window's size at the new DPI first, then suggests a
    // place of that size, which the window takes.
    HWND form = w.form->window();
    const int dpis[] = {dpi, dpi == 96 ? 192 : 96, dpi};
    for (const int& at : dpis) {
        RECT client;
        if (&at != dpis) {
            SIZE size{};
            CHECK(SendMessageW(form, WM_GETDPISCALEDSIZE, at, reinterpret_cast<LPARAM>(&size)));
            RECT frame{0, 0, window::clientRect(at).width, window::clientRect(at).height}, taken;
            AdjustWindowRectExForDpi(&frame, GetWindowLongW(form, GWL_STYLE), FALSE, 0, at);
            CHECK(size.cx == frame.right - frame.left);
            CHECK(size.cy == frame.bottom - frame.top);
            RECT suggested{10, 20, 10 + size.cx, 20 + size.cy};
            SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(at, at),
                         reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(form, &taken);
            CHECK(EqualRect(&taken, &suggested));
        }
        for (const ControlDef& def : window::controlDefinitions()) {
            INFO(window::controlId(def.member), " at ", at, " dpi");
            const window::PixelRect a = placed(w, w[def.member]), b = window::windowRect(def, at);
            CHECK((std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 &&
                   std::abs(a.width - b.width) <= 1 && std::abs(a.height - b.height) <= 1));
        }
        GetClientRect(w.form->window(), &client);
        CHECK(std::abs(client.right - window::clientRect(at).width) <= 1);
        if (&at == dpis)
            CHECK(std::abs(client.bottom - window::clientRect(at).height) <= 1);
    }
    // A place of another size (Windows keeps the window on a monitor) is
    // taken as it is too.
    RECT edge{30, 40, 530, 440}, taken;
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&edge));
    GetWindowRect(form, &taken);
    CHECK(EqualRect(&taken, &edge));
    // Where Windows gives no DPI for each window, the monitor's is taken.
    CHECK(monitorDpi(form) == static_cast<UINT>(dpi));
}

TEST_CASE("a fixed window that gives the focus back, its texts exactly as written, '&' included") {
    const Window w;
    const std::pair<HWND, std::u16string_view> captions[] = {
        {w.form->window(), u"www.example.org Биология - наука и обхват"},
        {w[{"Label1", 0}], u"Биология - науки за животните"},
        {w[{"Frame1", 0}], u"Митичен герой"},
        {w[{"Frame1", 16}], u"Свързан с"},
        {w[Check], u"Изведи"},
        {w[Clear], u"Чисти"}};
    for (const auto& [control, caption] : captions)
        CHECK(text(control) == caption);
    const LONG style = GetWindowLongW(w.form->window(), GWL_STYLE);
    CHECK((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU));
    CHECK((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);

    // No access keys: an '&' is shown as it is.
    w.form->setOutputText(u"a & b\r\n\r\nc\r\n");
    CHECK(w.form->outputText() == u"a & b\r\n\r\nc\r\n");
    CHECK(text(w[Text1]) == u"a & b\r\n\r\nc\r\n");
    w.form->setCaption(OptionGroup::Option1, 0, u"A & B");
    CHECK(w.form->caption(OptionGroup::Option1, 0) == u"A & B");
    CHECK(text(w[{"Option1", 0}]) == u"A && B");

    // The focus comes back to where it was when the window is left and re-entered.
    w.click(w[{"Option2", 6}]);
    SendMessageW(w.form->window(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(w.form->window(), WM_ACTIVATE, WA_ACTIVE, 0);
    CHECK(GetFocus() == w[{"Option2", 6}]);
}

TEST_CASE("each control shows its colour, and a deselected button its empty mark") {
    const Window w;
    // The buttons of a right pair look like a blank button never selected.
    for (const Member& control : {Member{"Option1", 3}, Member{"Option2", 3}, Check})
        w.click(w[control]);
    w.form->setCaption(OptionGroup::Option1, 4, u"");
    w.form->setCaption(OptionGroup::Option2, 8, u"");
    w.settle();
    const Screen solved{w.form->window()};
    for (const auto& [blanked, other] : {std::pair{Member{"Option1", 3}, Member{"Option1", 4}},
                                         std::pair{Member{"Option2", 3}, Member{"Option2", 8}}}) {
        const window::PixelRect a = placed(w, w[blanked]), b = placed(w, w[other]);
        int differ = 0;
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.height; ++x)
                differ += solved.at(a.left + x, a.top + y) != solved.at(b.left + x, b.top + y);
        INFO(window::controlId(blanked));
        CHECK(differ == 0);
    }

    w.click(w[Clear]); // one short line in the output box
    w.settle();
    const Screen shown{w.form->window()};
    for (const auto& [where, x, y, colour] : colourSamples) {
        INFO(where);
        CHECK(shown.at(window::pixels(x, 96), window::pixels(y, 96)) == colour);
    }
}

TEST_CASE("in High Contrast every control takes the system's colours, and the quiz's come back") {
    REQUIRE(answerSystemParameters());
    // A palette of the learner's, each colour its own; restored at the end.
    const int parts[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF palette[] = {RGB(0, 0, 0), RGB(0xFF, 0xFF, 0), RGB(0, 0, 0x60),
                                RGB(0, 0xFF, 0xFF)};
    COLORREF before[std::size(parts)];
    std::transform(std::begin(parts), std::end(parts), before, GetSysColor);
    struct Restore {
        const int* parts;
        const COLORREF* colours;
        ~Restore() {
            highContrast = false;
            SetSysColors(4, parts, colours);
        }
    } restore{parts, before};

    const Window w;
    REQUIRE(SetSysColors(std::size(parts), parts, palette));
    w.settle(); // the colours changed, High Contrast is still off
    highContrast = true;
    SendMessageW(w.form->window(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    w.settle();
    {
        const Screen shown{w.form->window()};
        for (const auto& [where, x, y, colour] : colourSamples) {
            INFO(where);
            const bool button = std::string_view(where).starts_with("Command");
            CHECK(shown.at(window::pixels(x, 96), window::pixels(y, 96)) ==
                  (button ? palette[2] : palette[0]));
        }
        // Nothing of the quiz's colours is left, and the buttons' text is the system's.
        RECT client;
        GetClientRect(w.form->window(), &client);
        int quizColours = 0, buttonText = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                quizColours += std::any_of(
                    std::begin(colourSamples), std::end(colourSamples) - 1,
                    [&](const auto& sample) { return shown.at(x, y) == std::get<3>(sample); });
        const window::PixelRect check = placed(w, w[Check]);
        for (int y = check.top; y < check.top + check.height; ++y)
            for (int x = check.left; x < check.left + check.width; ++x)
                buttonText += shown.at(x, y) == palette[3];
        CHECK(quizColours == 0);
        CHECK(buttonText > 0);
    }
    // Off again, with the system's colours as they were: the quiz's colours.
    highContrast = false;
    REQUIRE(SetSysColors(std::size(parts), parts, before));
    w.settle();
    const Screen shown{w.form->window()};
    for (const auto& [where, x, y, colour] : colourSamples) {
        INFO(where);
        CHECK(shown.at(window::pixels(x, 96), window::pixels(y, 96)) == colour);
    }
}

// As a screen reader's hook in this process may: every read of a text leaves
// an error value behind.
LRESULT CALLBACK leaveErrorValue(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
    const UINT message = reinterpret_cast<const CWPRETSTRUCT*>(lParam)->message;
    if (code >= 0 && (message == WM_GETTEXTLENGTH || message == WM_GETTEXT))
        SetLastError(ERROR_ACCESS_DENIED);
    return result;
}

TEST_CASE("an empty caption is no failure, whatever error value a hook leaves on the way") {
    const Window w;
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, leaveErrorValue, nullptr, GetCurrentThreadId());
    REQUIRE(hook);
    for (const Member& control : {Member{"Option1", 3}, Member{"Option2", 3}, Check})
        w.click(w[control]);
    CHECK(w.form->caption(OptionGroup::Option1, 3).empty());
    CHECK(w.form->caption(OptionGroup::Option2, 3).empty());
    // A push button drawn with no caption.
    SetWindowTextW(w[Clear], L"");
    RedrawWindow(w[Clear], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    w.settle(); // a report would end the program here
    UnhookWindowsHookEx(hook);
}

// The window, in a process of its own, whose push buttons are given a DC that
// cannot be drawn on each time they are painted, one of them with no caption
// and a hook that leaves error values; it ends with 3 should a message box be
// made while a push button paints.
int depthInDrawItem = 0;
LRESULT CALLBACK spoilDrawing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    if (message != WM_DRAWITEM)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    DRAWITEMSTRUCT item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    item.hDC = nullptr;
    ++depthInDrawItem;
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, reinterpret_cast<LPARAM>(&item));
    --depthInDrawItem;
    return result;
}
LRESULT CALLBACK noBoxInPaint(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && depthInDrawItem > 0)
        ExitProcess(3);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
int failWhilePainting() {
    MainForm form(GetModuleHandleW(nullptr));
    SetWindowsHookExW(WH_CBT, noBoxInPaint, nullptr, GetCurrentThreadId());
    SetWindowSubclass(form.window(), spoilDrawing, 1, 0);
    SetWindowsHookExW(WH_CALLWNDPROCRET, leaveErrorValue, nullptr, GetCurrentThreadId());
    SetWindowTextW(form.handle(Clear), L"");
    RedrawWindow(form.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!form.handleDialogKeys(message))
            DispatchMessageW(&message);
    return 0;
}

// The top-level windows of a process, of one class.
std::vector<HWND> windowsOf(DWORD process, const wchar_t* className) {
    std::vector<HWND> found;
    DWORD owner = 0;
    for (HWND at = nullptr; (at = FindWindowExW(nullptr, at, className, nullptr));)
        if (GetWindowThreadProcessId(at, &owner) && owner == process)
            found.push_back(at);
    return found;
}

TEST_CASE("a failure while painting is reported once, after the paint, and ends the program") {
    wchar_t path[MAX_PATH];
    REQUIRE(GetModuleFileNameW(nullptr, path, MAX_PATH));
    std::wstring command = L"\"" + std::wstring(path) + L"\" --fail-while-painting";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    REQUIRE(CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &child));
    CloseHandle(child.hThread);
    const std::unique_ptr<void, void (*)(HANDLE)> end(child.hProcess, [](HANDLE process) {
        TerminateProcess(process, 9); // where it is still running
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
    });

    std::vector<HWND> boxes;
    for (int i = 0; i < 200 && boxes.empty(); ++i, Sleep(50))
        if (WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT)
            boxes = windowsOf(child.dwProcessId, L"#32770");
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    INFO("the program's exit code: ", code); // 3: a box made inside the paint
    REQUIRE(boxes.size() == 1);
    wchar_t said[256] = L"";
    GetDlgItemTextW(boxes[0], 0xFFFF, said, std::size(said));
    const std::wstring_view report = said;
    CHECK(report.starts_with(L"zoomatch: the push button could not take its font (Windows error "));
    CHECK(report.ends_with(L").\nThe program ends."));
    // Painted again and again under its report, the window reports nothing more.
    const std::vector<HWND> forms = windowsOf(child.dwProcessId, L"zoomatch.MainForm");
    REQUIRE(forms.size() == 1);
    for (int i = 0; i < 5; ++i, Sleep(100))
        RedrawWindow(forms[0], nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CHECK(windowsOf(child.dwProcessId, L"#32770") == boxes);
    // OK ends the program, with its failure.
    PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
    REQUIRE(WaitForSingleObject(child.hProcess, 10000) == WAIT_OBJECT_0);
    GetExitCodeProcess(child.hProcess, &code);
    CHECK(code == 1);
}

TEST_CASE("a screen reader gets names, descriptions, roles and the output") {
    const Window w;
    const Accessible output = accessible(w[Text1]);
    CHECK(output.name == u"Резултат");
    CHECK(output.value == quiz::QuizTable::introduction());
    CHECK((output.state & STATE_SYSTEM_READONLY) != 0);
    CHECK(output.role == ROLE_SYSTEM_TEXT);
    CHECK(accessible(w[Check]).name == u"Изведи");
    // Each option by its caption, with its column and row on screen.
    for (const ControlDef& def : window::controlDefinitions())
        if (window::optionGroup(def.member)) {
            INFO(window::controlId(def.member));
            const Accessible option = accessible(w[def.member]);
            CHECK(option.name == def.caption);
            CHECK(option.description == window::description(def));
            // Wine's oleacc calls a button a client and gives no checked
            // state; Windows gives radio button, which is checked there.
            CHECK((option.role == ROLE_SYSTEM_RADIOBUTTON || option.role == ROLE_SYSTEM_CLIENT));
        }

    // A right pair: the output read whole, the blanked buttons called solved.
    for (const Member& control : {Member{"Option1", 0}, Member{"Option2", 0}, Check})
        w.click(w[control]);
    CHECK(accessible(w[Text1]).value == text(w[Text1]));
    for (const Member& solved : {Member{"Option1", 0}, Member{"Option2", 0}}) {
        CHECK(accessible(w[solved]).name == u"решено");
        CHECK(accessible(w[solved]).description == window::description(*window::control(solved)));
    }
    w.click(w[Clear]);
    CHECK(accessible(w[{"Option1", 0}]).name == quiz::QuizTable::science(0));
}

TEST_CASE("each verdict is read from its own hidden object, the same one twice too") {
    if (uiaNotifications)
        return; // UI Automation's notification speaks it; Windows 7 to 10 1703 read the object
    const Window w;
    w.click(w[Check]);
    w.click(w[Check]);
    for (const Member& control : {Member{"Option1", 0}, Member{"Option2", 0}, Check})
        w.click(w[control]);
    const std::u16string_view verdicts[] = {
        u"Грешен отговор.", u"Грешен отговор.",
        u"анатомия е наука за вътрешен строеж на организми\nВярно! Позна."};
    REQUIRE(liveRegionEvents.size() == std::size(verdicts));
    for (std::size_t at = 0; at < std::size(verdicts); ++at) {
        const HWND verdict = liveRegionEvents[at].hwnd;
        CHECK(liveRegionEvents[at].name == verdicts[at]);
        CHECK(GetParent(verdict) == w.form->window());
        CHECK_FALSE(IsWindowVisible(verdict));
        CHECK((GetWindowLongW(verdict, GWL_STYLE) & WS_TABSTOP) == 0);
    }
}

namespace {

const VARIANT Self = [] {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}();

std::u16string nameOf(IAccessible* object, HRESULT expected = S_OK) {
    BSTR name = SysAllocString(L"stale");
    CHECK(object->get_accName(Self, &name) == expected);
    const std::u16string read = name ? u16(std::wstring_view(name, SysStringLen(name))) : u"";
    if (expected != S_OK)
        CHECK(name == nullptr);
    SysFreeString(name);
    return read;
}

// accName or accDescription read late-bound, by name, with the child given or left out.
HRESULT lateBound(IDispatch* object, const wchar_t* property, bool giveChild,
                  std::u16string* read = nullptr) {
    std::wstring name = property;
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found))
        return found;
    VARIANT child = Self, result{};
    DISPPARAMS arguments{&child, nullptr, giveChild ? 1u : 0u, 0};
    result.vt = VT_I2; // anything but what a failure leaves
    const HRESULT invoked = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                           &arguments, &result, nullptr, nullptr);
    if (read && result.vt == VT_BSTR)
        *read = u16(std::wstring_view(result.bstrVal, SysStringLen(result.bstrVal)));
    if (FAILED(invoked))
        CHECK(result.vt == VT_EMPTY);
    VariantClear(&result);
    return invoked;
}

template <class Interface> Interface* query(IUnknown* object, REFIID iid) {
    void* found = nullptr;
    REQUIRE(object->QueryInterface(iid, &found) == S_OK);
    REQUIRE(found);
    return static_cast<Interface*>(found);
}

} // namespace

TEST_CASE("an object held across the window's close keeps COM's rules") {
    auto w = std::make_unique<Window>();
    const Member solved{"Option1", 0};
    for (const Member& control : {solved, Member{"Option2", 0}, Check})
        w->click((*w)[control]);
    const HWND control = (*w)[solved];
    const std::u16string description = window::description(*window::control(solved));
    IAccessible* held = nullptr;
    REQUIRE(SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&held))));
    REQUIRE(nameOf(held) == u"решено");

    // IUnknown, IDispatch, IAccessible and IOleWindow, with one IUnknown
    // among them, and from each the object itself; nothing else.
    IUnknown* identity = query<IUnknown>(held, IID_IUnknown);
    for (const IID& iid : {IID_IDispatch, __uuidof(IAccessible), IID_IOleWindow}) {
        IUnknown* asked = query<IUnknown>(held, iid);
        IUnknown* back = query<IUnknown>(asked, IID_IUnknown);
        IAccessible* again = query<IAccessible>(asked, __uuidof(IAccessible));
        CHECK(back == identity);
        CHECK(nameOf(again) == u"решено");
        for (IUnknown* got : {asked, back, static_cast<IUnknown*>(again)})
            got->Release();
    }
    for (const IID& iid : {IID_IEnumVARIANT, IID_IServiceProvider, IID_IPersist, IID_IMarshal}) {
        void* found = &found;
        CHECK(held->QueryInterface(iid, &found) == E_NOINTERFACE);
        CHECK(found == nullptr);
    }
    HWND window = nullptr;
    CHECK(WindowFromAccessibleObject(held, &window) == S_OK);
    CHECK(window == control);

    // Late-bound clients read what early-bound ones read.
    IDispatch* dispatch = query<IDispatch>(held, IID_IDispatch);
    IOleWindow* oleWindow = query<IOleWindow>(held, IID_IOleWindow);
    UINT typeInfos = 0;
    CHECK(dispatch->GetTypeInfoCount(&typeInfos) == S_OK);
    CHECK(typeInfos == 1);
    std::u16string read;
    CHECK(lateBound(dispatch, L"accName", true, &read) == S_OK);
    CHECK(read == u"решено");
    CHECK(lateBound(dispatch, L"accDescription", false, &read) == S_OK);
    CHECK(read == description);

    // The window closes: every call fails, and the interfaces stay as they were.
    w.reset();
    nameOf(held, CO_E_OBJNOTCONNECTED);
    VARIANT role{};
    LONG place[4] = {1, 1, 1, 1};
    CHECK(held->get_accRole(Self, &role) == CO_E_OBJNOTCONNECTED);
    CHECK(held->accLocation(&place[0], &place[1], &place[2], &place[3], Self) ==
          CO_E_OBJNOTCONNECTED);
    CHECK(held->accDoDefaultAction(Self) == CO_E_OBJNOTCONNECTED);
    CHECK(lateBound(dispatch, L"accName", true) == CO_E_OBJNOTCONNECTED);
    window = control;
    CHECK(oleWindow->GetWindow(&window) == CO_E_OBJNOTCONNECTED);
    CHECK(window == nullptr);
    IUnknown* back = query<IUnknown>(oleWindow, IID_IUnknown);
    CHECK(back == identity);
    back->Release();

    // The program's end unloads nothing that the object still needs.
    endScreenReaderSupport();
    nameOf(held, CO_E_OBJNOTCONNECTED);
    CHECK(lateBound(dispatch, L"accDescription", false) == CO_E_OBJNOTCONNECTED);
    for (IUnknown* got : {static_cast<IUnknown*>(held), identity, static_cast<IUnknown*>(dispatch),
                          static_cast<IUnknown*>(oleWindow)})
        got->Release();
}

// A message box would wait for a click that never comes: it is closed, and
// its text printed, so that the program ends with its failure.
LRESULT CALLBACK closeMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<HWND>(wParam);
    wchar_t name[16] = L"", said[512] = L"";
    if ((code == HCBT_ACTIVATE || code == HCBT_DESTROYWND) &&
        GetClassNameW(box, name, std::size(name)) && std::wstring_view(name) == L"#32770") {
        if (code == HCBT_ACTIVATE)
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        else if (GetDlgItemTextW(box, 0xFFFF, said, std::size(said)))
            std::fprintf(stderr, "A message box: %s\n",
                         quiz::toUtf8(u16(std::wstring_view(said))).c_str());
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int main(int argc, char** argv) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    if (argc == 2 && std::string_view(argv[1]) == "--fail-while-painting")
        return failWhilePainting();
    SetWindowsHookExW(WH_CBT, closeMessageBoxes, nullptr, GetCurrentThreadId());
    doctest::Context context(argc, argv);
    const int status = context.run();
    CoUninitialize();
    return status;
}
