// The quiz window in a web page. The page generator (page/) writes every
// control of the window definition into the page as an HTML element; this
// front end, compiled to WebAssembly, attaches to those elements and hands
// their events to the quiz.
//
// What the browser must give:
// - each frame's options are one radio group (one name): a click, a tap, an
//   arrow key or Space selects one and clears the others, then raises the
//   option's click event;
// - each push button is a button of type "button": a click, a tap, or Enter
//   or Space on it raises its click event; nothing else presses it, and the
//   page has no form that Enter could submit;
// - every option and push button carries the name of its control array
//   ("Option1", "Option2", "Command1") and its member index as its value;
// - the output box is a read-only textarea, first in the tab order and
//   focused at start. Its text is kept as its default value, CR LF and all;
//   the box shows each CR LF as one line break;
// - a polite live region (#verdict) speaks what a command leaves, once.
// The keyboard rule that the browser does not give of itself (Tab going
// round the window, entering a column at its selected option, else at its
// top one; the arrow keys going round a column) is the page's keydown
// listener's.
#pragma once

#include "QuizControls.h"
#include "QuizEvents.h"

#include <array>
#include <string>
#include <string_view>

class MainForm final : public quiz::QuizControls {
public:
    // Reads the captions and the introduction from the window definition,
    // which the page already shows. The page's elements must exist.
    MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The set-up; then the page's events reach click().
    void Form_Load();
    // The page shown again from the browser's back/forward cache: the set-up
    // once more, the introduction in the output box and the focus on it.
    void restart();
    // A click on the page's element with this name and value attribute, as
    // the page gave them; an element that is no member changes nothing.
    void click(std::u16string_view name, std::u16string_view value);

    // QuizControls.
    std::u16string caption(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void setCaption(quiz::OptionGroup group, quiz::RowIndex row, std::u16string_view text) override;
    bool isSelected(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void deselect(quiz::OptionGroup group, quiz::RowIndex row) override;
    std::u16string outputText() const override { return output; }
    void setOutputText(std::u16string_view text) override;

private:
    std::array<std::array<std::u16string, quiz::RowCount>, 2> captions;
    std::u16string output;
    std::u16string_view introduction;
    quiz::QuizEvents events{*this};
};
