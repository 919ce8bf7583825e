// The quiz window on Linux, Qt 6 Widgets, built from the window definition:
// the title label, two frames of ten option buttons, the clear and check
// buttons and the output box, each at its place, with its caption, colours
// and object name (controlId). What it must do:
// - Every click Qt delivers on an option or a push button goes to the quiz's
//   events with the member index Qt gives; what they return is announced to
//   screen readers (a verdict after a command, nothing after an option).
// - The options of a frame exclude each other (one QButtonGroup per frame);
//   selecting one by mouse or key clears the others, then raises its click.
// - Up/Left and Down/Right on an option move to the option above or below
//   it on screen and select it, wrapping at both ends, blanked options
//   included. On a push button, in the output box and elsewhere, arrows
//   change nothing but the output box's own caret.
// - Space selects the focused option. Tab and Shift+Tab go round: output box,
//   science column, subject column, «Чисти», «Изведи»; a column is entered at
//   its selected option, else at its top one, from either side.
// - Enter or Space on a focused push button presses it. Neither push button
//   is a default or cancel button: Enter and Escape elsewhere press nothing.
// - At start the output box holds the introduction and the focus.
#pragma once

#include "QuizControls.h"
#include "QuizEvents.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <string>

class Announcement;
class QButtonGroup;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class MainForm final : public QWidget, public quiz::QuizControls {
    Q_OBJECT

public:
    explicit MainForm(QWidget* parent = nullptr);

    // The one font of every control.
    static QFont windowFont();

    // The controls that take clicks, by member: 0 <= k < 10; Command1(i) for i = 0 or 1.
    QRadioButton* Option1(int k) const { return options[0].at(k); }
    QRadioButton* Option2(int k) const { return options[1].at(k); }
    QPushButton* Command1(int i) const { return commands.at(i); }

    // QuizControls
    std::u16string caption(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void setCaption(quiz::OptionGroup group, quiz::RowIndex row, std::u16string_view text) override;
    bool isSelected(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void deselect(quiz::OptionGroup group, quiz::RowIndex row) override;
    std::u16string outputText() const override { return output; }
    void setOutputText(std::u16string_view text) override;

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void createControls();
    // Hands a click on to the events and announces what they return.
    void click(quiz::ControlArray array, int index);
    QRadioButton* option(quiz::OptionGroup group, quiz::RowIndex row) const;

    std::array<std::array<QRadioButton*, quiz::RowCount>, 2> options{}; // Option1, Option2
    std::array<QButtonGroup*, 2> columns{};
    std::array<QPushButton*, 2> commands{};
    QPlainTextEdit* text1 = nullptr;
    Announcement* announcement = nullptr; // made at the first command

    // The output text exactly as last written; the box shows each CR LF as a line break.
    std::u16string output;
    quiz::QuizEvents events{*this};
};
