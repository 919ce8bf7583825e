// The quiz window of Windows' standard controls: two group boxes of ten auto
// radio buttons, the check and clear push buttons drawn in their own colours,
// a centred title label and a read-only multi-line edit box for the output,
// built from the window definition. It gives the quiz's events its controls
// and hands each click on to them, with the member that raised it. In High
// Contrast everything is drawn in the system's colours instead, switching as
// the learner turns it on or off; at each DPI it takes the definition's size.
//
// The keyboard works as in a dialog box (the message loop hands every message
// to IsDialogMessage): Tab and Shift+Tab go from the output box through both
// columns to the buttons, entering a column at its selected option, else at
// its top one; the arrows move within one column and select; Space and Enter
// press a focused push button, where the arrows do nothing; Enter and Escape
// elsewhere press nothing.
#pragma once

#include "FormDefinition.h"
#include "QuizControls.h"
#include "QuizEvents.h"

#include <windows.h>

#include <string>
#include <vector>

// The DPI of the monitor that shows most of `window` (Windows 8.1 on), or 0
// where Windows does not tell it. Where Windows has no DPI for each window (8.1,
// 10 before 1607), the window is laid out at this one rather than the system's.
UINT monitorDpi(HWND window);

class MainForm final : public quiz::QuizControls {
public:
    // Creates the window from its definition, runs Form_Load and shows it with
    // the focus in the output box. A control that cannot be made ends the
    // program with a message.
    explicit MainForm(HINSTANCE instance, int show = SW_SHOWNORMAL);
    ~MainForm() override;
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The message loop gives every message here first; true when it was a key
    // of the dialog keyboard and has been handled.
    bool handleDialogKeys(MSG& message);

    // The window, null once it is closed, and the control of a member of the
    // definition, null for a member it has not.
    HWND window() const { return form; }
    HWND handle(const window::Member& member) const;
    // What screen readers were told so far: how often, and the last text.
    long long announcements() const { return announced; }
    const std::wstring& lastAnnouncement() const { return announcement; }

    // QuizControls
    std::u16string caption(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void setCaption(quiz::OptionGroup group, quiz::RowIndex row, std::u16string_view text) override;
    bool isSelected(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void deselect(quiz::OptionGroup group, quiz::RowIndex row) override;
    std::u16string outputText() const override;
    void setOutputText(std::u16string_view text) override;

    // A control of the window as created from its definition.
    struct Control {
        HWND handle = nullptr;
        const window::ControlDef* def = nullptr;
        HBRUSH brush = nullptr; // its background, or null for the system's
    };

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls(HINSTANCE instance);
    void create(HINSTANCE instance, const window::ControlDef& def, DWORD style);
    // Places every control and sizes the window for `dpi`, with a font made for it.
    void layout(UINT dpi, const RECT* suggested);
    void onCommand(int code, HWND sender);
    // A failure met while painting, reported once the paint is over.
    void paintFailed(const wchar_t* kind, const wchar_t* operation);
    void redrawAll();
    LRESULT onControlColour(HDC dc, HWND control);
    void drawPushButton(const DRAWITEMSTRUCT& item);
    const Control* find(HWND handle) const;
    HWND option(quiz::OptionGroup group, quiz::RowIndex row) const;
    // Tab enters a column at its one tab stop: the selected option, else the top one.
    void moveTabStop(quiz::OptionGroup group);

    HWND form = nullptr;
    std::vector<Control> controls; // in creation order, which is the tab order
    HWND options[2][quiz::RowCount] = {};
    HWND text1 = nullptr;
    HWND verdict = nullptr;    // hidden: the verdict's own accessible object
    HWND savedFocus = nullptr; // where the focus returns when the window is activated
    HBRUSH background = nullptr;
    bool highContrast = false; // drawn in the system's colours
    HFONT font = nullptr;
    long long announced = 0;
    std::wstring announcement;
    quiz::QuizEvents events{*this};
};
