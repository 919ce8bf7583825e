// The real Win32 window, driven in this process as a learner drives it: every
// scenario of the window's behaviour and a random game through real input
// (SendInput: the mouse's main button at a control's centre, keys where the
// focus is), each step compared with the window as a learner and a screen
// reader find it. Then what only Windows has: the place of every control at
// the screen's DPI, colours, the fixed window, the font, and what a screen
// reader reads (AccessibleObjectFromWindow, WinEvents).
// ZOOMATCH_EXPECTED_DPI is the screen's DPI that the run was set up with (96
// unless given); ZOOMATCH_RANDOM_EVENTS and ZOOMATCH_RANDOM_SEED size the
// random game.
#define DOCTEST_CONFIG_IMPLEMENT
#include "../../quiz/Utf16Text.h"
#include "FormDefinition.h"
#include "MainForm.h"
#include "QuizTable.h"
#include "WindowBehaviour.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

using behaviour::Key;
using quiz::OptionGroup;
using window::ControlDef;
using window::Member;

namespace {

constexpr Member Text1{"Text1", 0}, Check{"Command1", 0}, Clear{"Command1", 1};

std::u16string text(HWND hwnd) {
    std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    buffer.resize(static_cast<std::size_t>(
        SendMessageW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()))));
    return {buffer.begin(), buffer.end()};
}

bool checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::u16string u16(std::wstring_view text) {
    return {text.begin(), text.end()};
}

// The live-region WinEvents raised on each window since the last look: the
// notices of screen readers where UI Automation's notification is missing.
std::vector<HWND> liveRegionEvents;
void CALLBACK winEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_CLIENT)
        liveRegionEvents.push_back(hwnd);
}

bool uiaNotifications() {
    static const bool present = [] {
        HMODULE uia = LoadLibraryW(L"uiautomationcore.dll");
        return uia && GetProcAddress(uia, "UiaRaiseNotificationEvent");
    }();
    return present;
}

// A window of its own, in front, with the program's message loop.
struct Window {
    std::unique_ptr<MainForm> form = std::make_unique<MainForm>(GetModuleHandleW(nullptr));
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        winEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);

    Window() {
        SetForegroundWindow(form->window());
        settle();
        liveRegionEvents.clear();
    }
    ~Window() { UnhookWinEvent(hook); }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

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
        const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        // Absolute coordinates: 0 to 65535 across the main screen.
        const auto scale = [](LONG at, int size) { return (at * 65536 + size - 1) / size; };
        INPUT move{}, down{}, up{};
        move.type = down.type = up.type = INPUT_MOUSE;
        move.mi.dx = scale(centre.x, GetSystemMetrics(SM_CXSCREEN));
        move.mi.dy = scale(centre.y, GetSystemMetrics(SM_CYSCREEN));
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        send({move});
        POINT at;
        GetCursorPos(&at);
        REQUIRE((at.x == centre.x && at.y == centre.y));
        send({down, up});
    }
    void key(Key pressed) const {
        // In the order of behaviour::Key.
        constexpr WORD codes[] = {VK_TAB,   VK_TAB,   VK_UP,     VK_DOWN,  VK_LEFT,
                                  VK_RIGHT, VK_SPACE, VK_RETURN, VK_ESCAPE};
        const WORD vk = codes[static_cast<int>(pressed)];
        const auto stroke = [](WORD code, bool release) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = code;
            input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
            const bool extended =
                code == VK_UP || code == VK_DOWN || code == VK_LEFT || code == VK_RIGHT;
            input.ki.dwFlags =
                (release ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
            return input;
        };
        if (pressed == Key::ShiftTab)
            send({stroke(VK_SHIFT, false), stroke(vk, false), stroke(vk, true),
                  stroke(VK_SHIFT, true)});
        else
            send({stroke(vk, false), stroke(vk, true)});
    }
    void play(const behaviour::Input& input) const {
        if (input.kind == behaviour::Input::Kind::Click)
            click((*this)[input.control]);
        else if (input.kind == behaviour::Input::Kind::Key)
            key(input.key);
    }

    // The window as a step describes it, read from the controls, with what
    // screen readers were told since the last look.
    std::string state(long long& announcementsSeen) const {
        std::string focus = "none";
        for (const ControlDef& def : window::controlDefinitions())
            if ((*this)[def.member] == GetFocus())
                focus = window::controlId(def.member);
        std::u16string seen = u"focus " + std::u16string(focus.begin(), focus.end());
        for (const std::string_view name : {"Option1", "Option2"}) {
            seen += u"\n" + std::u16string(name.begin(), name.end());
            for (int k = 0; k < quiz::RowCount; ++k) {
                HWND button = (*this)[{name, k}];
                seen += (checked(button) ? u" [" : u" (") + text(button) +
                        (checked(button) ? u"]" : u")");
            }
        }
        seen += u"\noutput " + text((*this)[Text1]);
        const long long told = form->announcements() - announcementsSeen;
        announcementsSeen = form->announcements();
        seen += u"\ntold " + u16(std::to_wstring(told));
        if (told > 0)
            seen += u" " + u16(form->lastAnnouncement());
        // Without UI Automation's notification, the output box's live-region event once each.
        if (!uiaNotifications())
            seen += u"\nlive-region events " +
                    u16(std::to_wstring(std::count(liveRegionEvents.begin(), liveRegionEvents.end(),
                                                   (*this)[Text1])));
        liveRegionEvents.clear();
        return quiz::toUtf8(seen);
    }
};

// The same as a step of the behaviour gives it.
std::string expected(const behaviour::Step& step) {
    const std::string focus = window::controlId(step.focus);
    std::u16string want = u"focus " + std::u16string(focus.begin(), focus.end());
    for (const OptionGroup group : {OptionGroup::Option1, OptionGroup::Option2}) {
        want += group == OptionGroup::Option1 ? u"\nOption1" : u"\nOption2";
        const int selected = group == OptionGroup::Option1 ? step.science : step.subject;
        for (int k = 0; k < quiz::RowCount; ++k)
            want += (k == selected ? u" [" : u" (") +
                    std::u16string(behaviour::expectedCaption(step, group, k)) +
                    (k == selected ? u"]" : u")");
    }
    want += u"\noutput " + step.output;
    want += step.announced ? u"\ntold 1 " + *step.announced : u"\ntold 0";
    if (!uiaNotifications())
        want += step.announced ? u"\nlive-region events 1" : u"\nlive-region events 0";
    return quiz::toUtf8(want);
}

// Plays a scenario on a fresh window; false at the first step that differs.
bool play(const behaviour::Scenario& scenario) {
    const Window w;
    long long told = 0;
    for (std::size_t at = 0; at < scenario.steps.size(); ++at) {
        const behaviour::Step& step = scenario.steps[at];
        w.play(step.input);
        const std::string seen = w.state(told), want = expected(step);
        if (seen != want) {
            const behaviour::Input& input = step.input;
            const std::string what = input.kind == behaviour::Input::Kind::Start
                                         ? std::string("start")
                                     : input.kind == behaviour::Input::Kind::Key
                                         ? "key " + std::string(behaviour::keyName(input.key))
                                         : "click " + window::controlId(input.control);
            INFO(std::string(scenario.name), ", step ", at, ": ", what);
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

bool within1(const window::PixelRect& a, const window::PixelRect& b) {
    return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 &&
           std::abs(a.width - b.width) <= 1 && std::abs(a.height - b.height) <= 1;
}

// The client area as it stands on screen, read back pixel by pixel.
class Capture {
public:
    explicit Capture(const Window& w) {
        HWND form = w.form->window();
        // What is waiting to be drawn is drawn; nothing is drawn afresh.
        RedrawWindow(form, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
        w.settle();
        RECT client;
        GetClientRect(form, &client);
        HDC screen = GetDC(form);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        previous = SelectObject(dc, bitmap);
        const bool copied = BitBlt(dc, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
        ReleaseDC(form, screen);
        REQUIRE(copied);
    }
    ~Capture() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// What a screen reader reads of a control.
struct Accessible {
    std::u16string name, description, value;
    long role = 0, state = 0;
};

Accessible accessible(HWND control) {
    IAccessible* object = nullptr;
    REQUIRE(SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&object))));
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Accessible seen;
    const auto read = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                          std::u16string& into) {
        BSTR text = nullptr;
        if (SUCCEEDED((object->*get)(self, &text)) && text)
            into = u16({text, SysStringLen(text)});
        SysFreeString(text);
    };
    read(&IAccessible::get_accName, seen.name);
    read(&IAccessible::get_accDescription, seen.description);
    read(&IAccessible::get_accValue, seen.value);
    VARIANT result;
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
    // A game that long reaches right pairs.
    if (events >= 1000)
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
    const auto checkPlaces = [&w](int at) {
        for (const ControlDef& def : window::controlDefinitions()) {
            INFO(window::controlId(def.member), " at ", at, " dpi");
            CHECK(within1(placed(w, w[def.member]), window::windowRect(def, at)));
        }
        RECT client;
        GetClientRect(w.form->window(), &client);
        CHECK(std::abs(client.right - window::clientRect(at).width) <= 1);
        return client.bottom;
    };
    CHECK(std::abs(checkPlaces(dpi) - window::clientRect(dpi).height) <= 1);
    LOGFONTW font;
    REQUIRE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w[{"Option1", 0}], WM_GETFONT, 0, 0)),
                       sizeof font, &font) == sizeof font);
    CHECK(font.lfCharSet == RUSSIAN_CHARSET);
    CHECK(font.lfHeight == -MulDiv(12, dpi, 72));
    CHECK(font.lfWeight == FW_NORMAL);
    const std::wstring face = font.lfFaceName;
    CHECK((face == L"Times New Roman" || face == L"Liberation Serif"));
    // The window follows a move to a screen of another DPI, and back. (Wine
    // draws the caption at the screen's DPI alone, so the height of the
    // client area is checked at that DPI only.)
    for (const int other : {dpi == 96 ? 192 : 96, dpi}) {
        RECT suggested{10, 10, 500, 500};
        SendMessageW(w.form->window(), WM_DPICHANGED, MAKEWPARAM(other, other),
                     reinterpret_cast<LPARAM>(&suggested));
        checkPlaces(other);
    }
}

TEST_CASE("a fixed window in its captions, that gives the focus back") {
    const Window w;
    CHECK(text(w.form->window()) == u"www.example.org Биология - наука и обхват");
    CHECK(text(w[{"Label1", 0}]) == u"Биология - науки за животните");
    CHECK(text(w[{"Frame1", 0}]) == u"Митичен герой");
    CHECK(text(w[{"Frame1", 16}]) == u"Свързан с");
    CHECK(text(w[Check]) == u"Изведи");
    CHECK(text(w[Clear]) == u"Чисти");
    const LONG style = GetWindowLongW(w.form->window(), GWL_STYLE);
    CHECK((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU));
    CHECK((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);

    // The focus comes back to where it was when the window is left and re-entered.
    w.click(w[{"Option2", 6}]);
    SendMessageW(w.form->window(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(w.form->window(), WM_ACTIVATE, WA_ACTIVE, 0);
    CHECK(GetFocus() == w[{"Option2", 6}]);
}

TEST_CASE("texts stay exactly as written, '&' included, with no access keys") {
    const Window w;
    w.form->setOutputText(u"a & b\r\n\r\nc\r\n");
    CHECK(w.form->outputText() == u"a & b\r\n\r\nc\r\n");
    CHECK(text(w[Text1]) == u"a & b\r\n\r\nc\r\n");
    w.form->setCaption(OptionGroup::Option1, 0, u"A & B");
    CHECK(w.form->caption(OptionGroup::Option1, 0) == u"A & B");
    CHECK(text(w[{"Option1", 0}]) == u"A && B");
}

TEST_CASE("each control shows its colour, and a deselected button its empty mark") {
    const Window w;
    // The buttons of a right pair look like a blank button never selected.
    for (const Member& control : {Member{"Option1", 3}, Member{"Option2", 3}, Check})
        w.click(w[control]);
    w.form->setCaption(OptionGroup::Option1, 4, u"");
    w.form->setCaption(OptionGroup::Option2, 8, u"");
    const Capture solved(w);
    const auto sameMark = [&](const Member& blanked, const Member& other) {
        const window::PixelRect a = placed(w, w[blanked]), b = placed(w, w[other]);
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.height; ++x)
                if (solved.at(a.left + x, a.top + y) != solved.at(b.left + x, b.top + y))
                    return false;
        return true;
    };
    CHECK(sameMark({"Option1", 3}, {"Option1", 4}));
    CHECK(sameMark({"Option2", 3}, {"Option2", 8}));

    w.click(w[Clear]); // one short line in the output box
    const Capture shown(w);
    // Points in twips from the client area's top left, clear of texts and edges.
    const struct {
        const char* where;
        int x, y;
        COLORREF colour;
    } samples[] = {
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
    for (const auto& sample : samples) {
        INFO(std::string(sample.where));
        CHECK(shown.at(window::pixels(sample.x, 96), window::pixels(sample.y, 96)) ==
              sample.colour);
    }
}

TEST_CASE("a screen reader gets names, descriptions, roles and the output") {
    const Window w;
    const Accessible output = accessible(w[Text1]);
    CHECK(output.name == u"Резултат");
    CHECK(output.value == quiz::QuizTable::introduction());
    CHECK((output.state & STATE_SYSTEM_READONLY) != 0);
    CHECK(output.role == ROLE_SYSTEM_TEXT);
    CHECK(accessible(w[{"Option1", 0}]).name == quiz::QuizTable::science(0));
    CHECK(accessible(w[{"Option1", 0}]).description == u"наука 1 от 10");
    CHECK(accessible(w[{"Option2", 6}]).description == u"предмет 1 от 10");
    CHECK(accessible(w[{"Option2", 0}]).description == u"предмет 3 от 10");
    CHECK(accessible(w[{"Option2", 4}]).description == u"предмет 10 от 10");
    CHECK(accessible(w[Check]).name == u"Изведи");
    // Wine's oleacc calls a button a client and gives no checked state;
    // Windows gives radio button and push button, which are checked there.
    const long role = accessible(w[{"Option1", 0}]).role;
    CHECK((role == ROLE_SYSTEM_RADIOBUTTON || role == ROLE_SYSTEM_CLIENT));

    for (const Member& control : {Member{"Option1", 0}, Member{"Option2", 0}, Check})
        w.click(w[control]);
    CHECK(accessible(w[Text1]).value ==
          u"анатомия е наука за вътрешен строеж на организми\r\nВярно! Позна.\r\n \r\n");
    CHECK(accessible(w[{"Option1", 0}]).name == u"решено");
    CHECK(accessible(w[{"Option2", 0}]).name == u"решено");
    CHECK(accessible(w[{"Option1", 0}]).description == u"наука 1 от 10");
    w.click(w[Clear]);
    CHECK(accessible(w[{"Option1", 0}]).name == quiz::QuizTable::science(0));
}

int main(int argc, char** argv) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    doctest::Context context(argc, argv);
    const int status = context.run();
    CoUninitialize();
    return status;
}
