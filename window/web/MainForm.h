// The quiz window in a web page. The page generator (page/) writes every
// control of the window definition into the page as an HTML element; this
// front end, compiled to WebAssembly, attaches to those elements and turns
// their events into the handlers named after them.
//
// What the browser must give:
// - each frame's options are one radio group (one name): a click, a tap, an
//   arrow key or Space selects one and clears the others before the change
//   event that calls Option1_Click or Option2_Click; selecting the option
//   already selected raises nothing;
// - each push button is a button of type "button": a click, a tap, or Enter
//   or Space on it raises its click event; nothing else presses it, and the
//   page has no form that Enter could submit;
// - the output box is a read-only textarea, first in the tab order and
//   focused at start; it shows CR LF as one line break and gives the text
//   back with LF alone, so the exact text is kept here;
// - a polite live region speaks each verdict once, as the command leaves it.
// An element missing from the page is a JavaScript error that ends the
// handler, reported by the browser as any script error is.
#pragma once

#include "QuizControls.h"
#include "QuizRules.h"

#include <array>
#include <string>

class MainForm final : public quiz::QuizControls {
public:
    // Reads the captions and the introduction from the window definition,
    // which the page already shows. The page's elements must exist.
    MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The page's events. Index is the member of the control array; an Index
    // that names no control changes nothing.
    void Form_Load();
    void Option1_Click(quiz::RowIndex Index);
    void Option2_Click(quiz::RowIndex Index);
    void Command1_Click(quiz::RowIndex Index);

    // QuizControls. Rows outside 0 <= row < RowCount read as an empty,
    // unselected option and are never written.
    std::u16string caption(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void setCaption(quiz::OptionGroup group, quiz::RowIndex row, std::u16string_view text) override;
    bool isSelected(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void deselect(quiz::OptionGroup group, quiz::RowIndex row) override;
    std::u16string outputText() const override { return output; }
    void setOutputText(std::u16string_view text) override;

private:
    // The verdict that the last command left, for screen readers.
    void announceOutput();

    std::array<std::array<std::u16string, quiz::RowCount>, 2> captions;
    std::u16string output;
    quiz::QuizRules rules{*this};
};
