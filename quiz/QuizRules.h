// The rules of the quiz: the two stored picks, the set-up that clears the
// board, the recording of a click in either option group, and the two
// commands, check and clear, which write their result into the output box.
//
// The rules work only through QuizControls. The handlers are named after the
// window events that call them and take the member index of the control.
#pragma once

#include "QuizControls.h"

#include <string>
#include <string_view>

namespace quiz {

class QuizRules {
public:
    // The values set-up stores: they differ from each other and from every
    // row, so a check before both groups were clicked never matches.
    static constexpr RowIndex NoPick1 = -5;
    static constexpr RowIndex NoPick2 = -15;

    // Command1 members.
    static constexpr RowIndex Check = 0; // "Изведи"
    static constexpr RowIndex Clear = 1; // "Чисти"

    // The controls must outlive the rules.
    explicit QuizRules(QuizControls& controls) : controls(controls) {}

    // Both picks to their set-up values; every option deselected and
    // relabelled from the table. The output text is left alone.
    void ResetBoard();

    // The group has already selected the button. Stores Index as the pick of
    // its group. 0 <= Index < RowCount: QuizEvents lets no other through.
    void Option1_Click(RowIndex Index);
    void Option2_Click(RowIndex Index);

    // Index 0 checks the picks, 1 clears the board; any other Index does nothing.
    void Command1_Click(RowIndex Index);

    // The last row clicked in each group since the last set-up, or the
    // set-up value. Always NoPick1/NoPick2 or 0 <= value < RowCount.
    RowIndex lastPick1() const { return pick1; }
    RowIndex lastPick2() const { return pick2; }

private:
    void check();
    void clear();

    QuizControls& controls;
    RowIndex pick1 = NoPick1;
    RowIndex pick2 = NoPick2;
};

// What screen readers say of the output text a command left: its lines that
// are not blank (the comment line is one blank), joined by LF.
std::u16string spokenVerdict(std::u16string_view output);

} // namespace quiz
