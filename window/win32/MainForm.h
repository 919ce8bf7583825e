// The quiz window of Windows' standard controls: two group boxes of ten auto
// radio buttons, the check and clear push buttons drawn in their own colours,
// a centred title label and a read-only multi-line edit box for the output,
// built from the window definition. It gives the quiz rules its controls and
// turns each notification into the handler named after the event.
//
// The keyboard works as in a dialog box (the message loop hands every message
// to IsDialogMessage): Tab and Shift+Tab go from the output box through both
// columns to the buttons, the arrows move within one column, Space and Enter
// press a focused button, and Enter or Escape elsewhere press nothing.
#pragma once

#include "FormDefinition.h"
#include "QuizControls.h"
#include "QuizRules.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

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

    // The window and its controls, for the tests. 0 <= k < 10; i is 0 or 1
    // for Command1, 0 or 16 for Frame1. Null once the window is closed.
    HWND window() const { return form; }
    HWND Option1(int k) const { return option1.at(k); }
    HWND Option2(int k) const { return option2.at(k); }
    HWND Command1(int i) const { return command1.at(i); }
    HWND Frame1(int i) const { return frame1.at(i == 0 ? 0 : 1); }
    HWND Label1() const { return label1; }
    HWND Text1() const { return text1; }
    const quiz::QuizRules& quizRules() const { return rules; }
    // What the last command had screen readers speak: its output without blank lines.
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
        int left = 0, top = 0;    // twips from the client area's top left
        HBRUSH brush = nullptr;   // its background, or null for the system's
        std::wstring description; // for screen readers; options only
    };

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Form_Load() { rules.ResetBoard(); }
    void Option1_Click(int Index) { rules.Option1_Click(static_cast<quiz::RowIndex>(Index)); }
    void Option2_Click(int Index) { rules.Option2_Click(static_cast<quiz::RowIndex>(Index)); }
    void Command1_Click(int Index);

    void createControls(HINSTANCE instance);
    void create(HINSTANCE instance, const window::ControlDef& def, int left, int top, DWORD style);
    // Places every control and sizes the window for `dpi`, with a font made for it.
    void layout(UINT dpi, const RECT* suggested);
    void onCommand(int id, int code, HWND sender);
    LRESULT onControlColour(HDC dc, HWND control);
    void drawPushButton(const DRAWITEMSTRUCT& item);
    HWND option(quiz::OptionGroup group, quiz::RowIndex row) const;
    // A column with nothing selected keeps its first button on screen as a tab stop.
    void keepColumnReachable(quiz::OptionGroup group);

    HWND form = nullptr;
    std::vector<Control> controls; // in creation order, which is the tab order
    std::array<HWND, quiz::RowCount> option1{};
    std::array<HWND, quiz::RowCount> option2{};
    std::array<HWND, 2> command1{};
    std::array<HWND, 2> frame1{};
    std::array<HWND, 2> firstOnScreen{}; // the top button of each column
    HWND label1 = nullptr;
    HWND text1 = nullptr;
    HWND savedFocus = nullptr; // where the focus returns when the window is activated
    HBRUSH background = nullptr;
    HFONT font = nullptr;
    UINT dpi = 96;
    std::wstring announcement;
    quiz::QuizRules rules{*this};
};
