// The real Win32 window, driven in this process as a learner drives it:
// clicks (BM_CLICK), keys through the dialog keyboard of the message loop,
// and read back through the controls (WM_GETTEXT, BM_GETCHECK), a capture of
// the client area and what a screen reader gets (AccessibleObjectFromWindow,
// WinEvents). ZOOMATCH_EXPECTED_DPI is the screen's DPI that the run was set
// up with (96 unless given); ZOOMATCH_RANDOM_EVENTS and ZOOMATCH_RANDOM_SEED
// size the random game.
#define DOCTEST_CONFIG_IMPLEMENT
#include "../../quiz/ReferenceQuiz.h"
#include "../../quiz/Utf16Text.h"
#include "FormDefinition.h"
#include "MainForm.h"
#include "QuizTable.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

using quiz::QuizTable;
using window::ControlDef;
using window::Kind;

namespace {

std::u16string text(HWND hwnd) {
    wchar_t buffer[2048];
    const auto length = SendMessageW(hwnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
    return {buffer, buffer + length};
}

bool checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::u16string u16(std::wstring_view text) {
    return {text.begin(), text.end()};
}

// A window of its own for each test, and the program's message loop.
struct Window {
    std::unique_ptr<MainForm> form = std::make_unique<MainForm>(GetModuleHandleW(nullptr));

    void pump() const {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT && !form->handleDialogKeys(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
    }
    void click(HWND control) const {
        SendMessageW(control, BM_CLICK, 0, 0);
        pump();
    }
    // A key pressed and let go on the focused control, through the message loop.
    void key(WORD vk, bool shift = false) const {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND focus = GetFocus();
        REQUIRE(focus != nullptr);
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(focus, WM_KEYDOWN, vk, scan | 1);
        PostMessageW(focus, WM_KEYUP, vk, scan | 1 | (3LL << 30));
        pump();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    std::u16string output() const { return text(form->Text1()); }
    void checkPair(int science, int subject) const {
        click(form->Option1(science));
        click(form->Option2(subject));
        click(form->Command1(0));
    }

    HWND handleOf(const ControlDef& def) const {
        const int i = def.member.index;
        switch (def.kind) {
        case Kind::Label:
            return form->Label1();
        case Kind::Frame:
            return form->Frame1(i);
        case Kind::OptionButton:
            return def.member.name == "Option1" ? form->Option1(i) : form->Option2(i);
        case Kind::PushButton:
            return form->Command1(i);
        case Kind::TextBox:
            return form->Text1();
        }
        return nullptr;
    }
    // The control's rectangle in the client area, and the one the definition gives it.
    RECT placed(HWND control) const {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, form->window(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    int px(int twips) const { return MulDiv(twips, static_cast<int>(dpi()), 1440); }
    UINT dpi() const { return GetDpiForWindow(form->window()); }
};

RECT defined(const Window& w, const ControlDef& def) {
    int left = def.left, top = def.top;
    for (const ControlDef& frame : window::controlDefinitions())
        if (!def.parent.name.empty() && frame.member == def.parent) {
            left += frame.left;
            top += frame.top;
        }
    return {w.px(left), w.px(top), w.px(left + def.width), w.px(top + def.height)};
}

void requireFullBoard(const Window& w) {
    for (int k = 0; k < quiz::RowCount; ++k) {
        CHECK(text(w.form->Option1(k)) == QuizTable::science(k));
        CHECK(text(w.form->Option2(k)) == QuizTable::subject(k));
        CHECK_FALSE(checked(w.form->Option1(k)));
        CHECK_FALSE(checked(w.form->Option2(k)));
    }
}

std::u16string rightPair(int k) {
    return std::u16string(QuizTable::science(k)) + u" е наука за " +
           std::u16string(QuizTable::subject(k)) + u"\r\nВярно! Позна.\r\n \r\n";
}

// The client area as it stands on screen, read back pixel by pixel.
class Capture {
public:
    explicit Capture(const Window& w) {
        HWND form = w.form->window();
        // What is waiting to be drawn is drawn; nothing is drawn afresh.
        RedrawWindow(form, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
        w.pump();
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

// The live-region WinEvents raised on each window since the last look.
std::vector<HWND> announcements;
void CALLBACK winEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_CLIENT)
        announcements.push_back(hwnd);
}

} // namespace

TEST_CASE("the window opens with the introduction and a full board, in its font and size") {
    const Window w;
    CHECK(text(w.form->window()) == u"www.example.org Биология - наука и обхват");
    CHECK(text(w.form->Label1()) == u"Биология - науки за животните");
    CHECK(text(w.form->Frame1(0)) == u"Митичен герой");
    CHECK(text(w.form->Frame1(16)) == u"Свързан с");
    CHECK(text(w.form->Command1(0)) == u"Изведи");
    CHECK(text(w.form->Command1(1)) == u"Чисти");
    CHECK(w.output() == QuizTable::introduction());
    requireFullBoard(w);
    CHECK(w.form->quizRules().lastPick1() == -5);
    CHECK(w.form->quizRules().lastPick2() == -15);
    CHECK(GetFocus() == w.form->Text1());

    const LONG style = GetWindowLongW(w.form->window(), GWL_STYLE);
    CHECK((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU));
    CHECK((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
    LOGFONTW font;
    REQUIRE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w.form->Option1(0), WM_GETFONT, 0, 0)),
                       sizeof font, &font) == sizeof font);
    CHECK(font.lfCharSet == RUSSIAN_CHARSET);
    CHECK(font.lfHeight == -MulDiv(12, static_cast<int>(w.dpi()), 72));
    CHECK(font.lfWeight == FW_NORMAL);
    const std::wstring face = font.lfFaceName;
    CHECK((face == L"Times New Roman" || face == L"Liberation Serif"));
}

TEST_CASE("every control stands where the definition puts it, at the screen's DPI") {
    const Window w;
    // The run was set up for this DPI; a window drawn at another proves nothing.
    const auto expected = static_cast<UINT>(fromEnvironment("ZOOMATCH_EXPECTED_DPI", 96));
    REQUIRE(w.dpi() == expected);
    RECT client;
    GetClientRect(w.form->window(), &client);
    CHECK(client.right == w.px(6915));
    CHECK(client.bottom == w.px(6225));
    for (const ControlDef& def : window::controlDefinitions()) {
        INFO(def.member.name, "(", def.member.index, ")");
        const RECT want = defined(w, def), seen = w.placed(w.handleOf(def));
        CHECK(seen.left == want.left);
        CHECK(seen.top == want.top);
        CHECK(seen.right == want.right);
        CHECK(seen.bottom == want.bottom);
    }

    // The window follows a move to a screen of another DPI, and back.
    for (const UINT dpi : {expected == 96 ? 192u : 96u, expected}) {
        RECT suggested{10, 10, 500, 500};
        SendMessageW(w.form->window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        const RECT label = w.placed(w.form->Label1());
        CHECK(label.left == MulDiv(960, static_cast<int>(dpi), 1440));
        CHECK(label.right - label.left == MulDiv(4575, static_cast<int>(dpi), 1440));
        GetClientRect(w.form->window(), &client);
        CHECK(client.right == MulDiv(6915, static_cast<int>(dpi), 1440));
    }
}

TEST_CASE("creation order is tab order, and the subject column stands alphabetically") {
    const Window w;
    std::vector<HWND> order;
    for (HWND child = GetWindow(w.form->window(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT))
        order.push_back(child);
    REQUIRE(order.size() == window::controlDefinitions().size());
    CHECK(order[0] == w.form->Text1());
    CHECK(order[2] == w.form->Frame1(0));
    CHECK(order[3] == w.form->Option1(0));
    CHECK(order[13] == w.form->Frame1(16));
    CHECK(order[24] == w.form->Command1(1));
    CHECK(order[25] == w.form->Command1(0));
    // clang-format off
    const std::u16string alphabetical[] = {
        u"бозайници", u"влечуги", u"вътрешен строеж на организми", u"земноводни",
        u"клетки на животинско тяло", u"насекоми", u"птици", u"риби",
        u"тъкани на животинско тяло", u"форми и устройство на животни"};
    // clang-format on
    w.checkPair(4, 4);
    for (int row = 0; row < 10; ++row) {
        HWND button = order[14 + row];
        CHECK(w.placed(button).top == w.px(480 + 300 + 300 * row));
        CHECK(text(button) == (row == 9 ? u"" : alphabetical[row]));
    }
}

TEST_CASE("whole games with the mouse") {
    const Window w;
    w.click(w.form->Command1(0));
    CHECK(w.output() == u"Грешен отговор.\r\n");
    w.click(w.form->Option1(3));
    w.click(w.form->Command1(0));
    CHECK(w.output() == u"Грешен отговор.\r\n");

    w.click(w.form->Option2(5));
    w.click(w.form->Option1(4)); // the other science of the same column takes the selection
    CHECK_FALSE(checked(w.form->Option1(3)));
    w.click(w.form->Option1(3));
    w.click(w.form->Command1(0));
    CHECK(w.output() == u"Грешен отговор.\r\n");
    CHECK(checked(w.form->Option1(3)));
    CHECK(checked(w.form->Option2(5)));

    w.click(w.form->Option2(3));
    CHECK_FALSE(checked(w.form->Option2(5)));
    CHECK(checked(w.form->Option1(3)));
    w.click(w.form->Command1(0));
    CHECK(w.output() == rightPair(3));
    CHECK(text(w.form->Option1(3)) == u"");
    CHECK(text(w.form->Option2(3)) == u"");
    CHECK_FALSE(checked(w.form->Option1(3)));
    CHECK_FALSE(checked(w.form->Option2(3)));
    CHECK(text(w.form->Option1(2)) == QuizTable::science(2));

    // A second check with no click matches the blanked row again.
    w.click(w.form->Command1(0));
    CHECK(w.output() == u" е наука за \r\nВярно! Позна.\r\n \r\n");
    w.checkPair(0, 0);
    CHECK(w.output() == rightPair(0));
    w.click(w.form->Command1(1));
    CHECK(w.output() == u"Направете своя избор!");
    requireFullBoard(w);
    w.click(w.form->Command1(0));
    CHECK(w.output() == u"Грешен отговор.\r\n");
}

TEST_CASE("the keyboard works as in a dialog box, with no default or cancel button") {
    const Window w;
    const auto focus = [] { return GetFocus(); };
    w.key(VK_TAB);
    CHECK(focus() == w.form->Option1(0));
    CHECK_FALSE(checked(w.form->Option1(0))); // entering a column selects nothing
    CHECK(w.form->quizRules().lastPick1() == -5);
    w.key(VK_DOWN);
    CHECK(focus() == w.form->Option1(1));
    CHECK(checked(w.form->Option1(1)));
    CHECK(w.form->quizRules().lastPick1() == 1);
    w.key(VK_TAB);
    CHECK(focus() == w.form->Option2(6)); // the top of the subject column
    w.key(VK_DOWN);
    w.key(VK_DOWN);
    CHECK(focus() == w.form->Option2(0));
    CHECK(w.form->quizRules().lastPick2() == 0);
    w.key(VK_TAB, true);
    CHECK(focus() == w.form->Option1(1));
    w.key(VK_TAB);
    w.key(VK_TAB);
    CHECK(focus() == w.form->Command1(1));
    w.key(VK_TAB);
    CHECK(focus() == w.form->Command1(0));

    // Enter and Escape on an option or in the output box press nothing and close nothing.
    for (HWND place : {w.form->Option2(0), w.form->Text1()}) {
        SetFocus(place);
        w.key(VK_RETURN);
        w.key(VK_ESCAPE);
        CHECK(IsWindow(w.form->window()));
        CHECK(focus() == place);
        CHECK(w.output() == QuizTable::introduction());
    }
    SetFocus(w.form->Command1(0));
    w.key(VK_RETURN);
    CHECK(w.output() == u"Грешен отговор.\r\n");
    w.key(VK_TAB, true);
    CHECK(focus() == w.form->Command1(1));
    w.key(VK_SPACE);
    CHECK(w.output() == u"Направете своя избор!");
    CHECK_FALSE(checked(w.form->Option1(1)));
    // With nothing selected, Tab still enters each column at its top.
    w.key(VK_TAB);
    w.key(VK_TAB);
    CHECK(focus() == w.form->Text1());
    w.key(VK_TAB);
    CHECK(focus() == w.form->Option1(0));
    w.key(VK_TAB);
    CHECK(focus() == w.form->Option2(6));
    w.key(VK_SPACE);
    CHECK(checked(w.form->Option2(6)));
    CHECK(w.form->quizRules().lastPick2() == 6);
    w.key(VK_ESCAPE);
    CHECK(IsWindow(w.form->window()));

    // The focus comes back to where it was when the window is left and re-entered.
    SendMessageW(w.form->window(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(w.form->window(), WM_ACTIVATE, WA_ACTIVE, 0);
    CHECK(focus() == w.form->Option2(6));
}

TEST_CASE("texts stay exactly as written, '&' included, with no access keys") {
    const Window w;
    w.form->setOutputText(u"a & b\r\n\r\nc\r\n");
    CHECK(w.form->outputText() == u"a & b\r\n\r\nc\r\n");
    CHECK(w.output() == u"a & b\r\n\r\nc\r\n");
    w.form->setCaption(quiz::OptionGroup::Option1, 0, u"A & B");
    CHECK(w.form->caption(quiz::OptionGroup::Option1, 0) == u"A & B");
    CHECK(text(w.form->Option1(0)) == u"A && B");
    CHECK(w.form->caption(quiz::OptionGroup::Option2, 10) == u"");
}

TEST_CASE("random clicks match the reference rules") {
    const Window w;
    const auto seed = static_cast<unsigned>(fromEnvironment("ZOOMATCH_RANDOM_SEED", 20261208));
    const long long events = fromEnvironment("ZOOMATCH_RANDOM_EVENTS", 2000);
    std::mt19937 random(seed);
    ReferenceQuiz expected;
    long long matches = 0;
    for (long long step = 0; step < events; ++step) {
        const int kind = int(random() % 10), row = int(random() % 10);
        if (kind < 8) {
            w.click(kind % 2 == 0 ? w.form->Option1(row) : w.form->Option2(row));
            expected.clickOption(kind % 2, row);
        } else {
            const int command = int(random() % 3) == 0 ? 1 : 0;
            w.click(w.form->Command1(command));
            expected.clickCommand(command);
            matches += expected.output.ends_with(u"Позна.\r\n \r\n");
        }
        const auto fail = [&](const char* what) {
            FAIL("seed ", seed, ", step ", step, ": ", what);
        };
        for (int k = 0; k < 10; ++k) {
            if (text(w.form->Option1(k)) != expected.captions[0][k] ||
                text(w.form->Option2(k)) != expected.captions[1][k])
                fail("a caption");
            if (checked(w.form->Option1(k)) != (expected.selected[0] == k) ||
                checked(w.form->Option2(k)) != (expected.selected[1] == k))
                fail("a selection");
        }
        if (w.form->quizRules().lastPick1() != expected.picks[0] ||
            w.form->quizRules().lastPick2() != expected.picks[1])
            fail("a pick");
        if (w.output() != expected.output)
            fail("the output");
    }
    if (events >= 500) // a game that long reaches right pairs
        CHECK(matches > 0);
}

TEST_CASE("each control shows its colour, and a deselected button its empty mark") {
    const Window w;
    // The buttons of a right pair look like a blank button never selected.
    w.checkPair(3, 3);
    w.form->setCaption(quiz::OptionGroup::Option1, 4, u"");
    w.form->setCaption(quiz::OptionGroup::Option2, 8, u"");
    const Capture solved(w);
    const auto sameMark = [&](HWND blanked, HWND other) {
        const RECT a = w.placed(blanked), b = w.placed(other);
        for (int y = 0; y < a.bottom - a.top; ++y)
            for (int x = 0; x < a.bottom - a.top; ++x)
                if (solved.at(a.left + x, a.top + y) != solved.at(b.left + x, b.top + y))
                    return false;
        return true;
    };
    CHECK(sameMark(w.form->Option1(3), w.form->Option1(4)));
    CHECK(sameMark(w.form->Option2(3), w.form->Option2(8)));

    w.click(w.form->Command1(1)); // one short line in the output box
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
        CHECK(shown.at(w.px(sample.x), w.px(sample.y)) == sample.colour);
    }
}

TEST_CASE("a screen reader gets names, descriptions, the output and one notice per command") {
    const Window w;
    const Accessible output = accessible(w.form->Text1());
    CHECK(output.name == u"Резултат");
    CHECK(output.value == QuizTable::introduction());
    CHECK((output.state & STATE_SYSTEM_READONLY) != 0);
    CHECK(output.role == ROLE_SYSTEM_TEXT);
    CHECK(accessible(w.form->Option1(0)).name == QuizTable::science(0));
    CHECK(accessible(w.form->Option1(0)).description == u"наука 1 от 10");
    CHECK(accessible(w.form->Option2(6)).description == u"предмет 1 от 10");
    CHECK(accessible(w.form->Option2(0)).description == u"предмет 3 от 10");
    CHECK(accessible(w.form->Option2(4)).description == u"предмет 10 от 10");
    CHECK(accessible(w.form->Command1(0)).name == u"Изведи");
    // Wine's oleacc calls a button a client and gives no checked state;
    // Windows gives radio button and push button, which are checked there.
    const long role = accessible(w.form->Option1(0)).role;
    CHECK((role == ROLE_SYSTEM_RADIOBUTTON || role == ROLE_SYSTEM_CLIENT));

    // Without UI Automation's notifications, the live-region WinEvent of the output box.
    HMODULE uia = LoadLibraryW(L"uiautomationcore.dll");
    const bool uiaNotices = uia && GetProcAddress(uia, "UiaRaiseNotificationEvent");
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        winEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    REQUIRE(hook);
    const auto noticesNow = [&] {
        w.pump();
        auto seen = announcements;
        announcements.clear();
        return seen;
    };
    const std::vector<HWND> once = uiaNotices ? std::vector<HWND>{} : std::vector{w.form->Text1()};
    noticesNow();
    w.click(w.form->Option1(0));
    w.click(w.form->Option2(0));
    CHECK(noticesNow().empty());
    w.click(w.form->Command1(0));
    CHECK(noticesNow() == once);
    CHECK(w.form->lastAnnouncement() ==
          L"анатомия е наука за вътрешен строеж на организми\nВярно! Позна.");
    CHECK(accessible(w.form->Text1()).value == rightPair(0));
    CHECK(accessible(w.form->Option1(0)).name == u"решено");
    CHECK(accessible(w.form->Option2(0)).name == u"решено");
    CHECK(accessible(w.form->Option1(0)).description == u"наука 1 от 10");
    w.click(w.form->Command1(0));
    CHECK(noticesNow() == once);
    CHECK(w.form->lastAnnouncement() == L" е наука за \nВярно! Позна.");
    w.click(w.form->Command1(1));
    CHECK(noticesNow() == once);
    CHECK(w.form->lastAnnouncement() == L"Направете своя избор!");
    CHECK(accessible(w.form->Option1(0)).name == QuizTable::science(0));
    UnhookWinEvent(hook);
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
