// A second, independent statement of the quiz rules for the randomised tests:
// what every caption, selection, pick and the output text should be after
// each event. Written plainly from the rules, sharing no code with QuizRules.
#pragma once

#include "QuizTable.h"

#include <array>
#include <string>

struct ReferenceQuiz {
    static constexpr int Rows = 10;
    std::array<std::array<std::u16string, Rows>, 2> captions; // [0] the sciences, [1] the subjects
    std::array<int, 2> selected;                              // the selected row of each, or -1
    std::array<int, 2> picks;
    std::u16string output{quiz::QuizTable::introduction()};

    ReferenceQuiz() { reset(); }

    void reset() {
        for (int k = 0; k < Rows; ++k) {
            captions[0][k] = quiz::QuizTable::science(k);
            captions[1][k] = quiz::QuizTable::subject(k);
        }
        selected = {-1, -1};
        picks = {-5, -15};
    }

    // A click on option button `row` of `group` (0 sciences, 1 subjects).
    void clickOption(int group, int row) {
        if (row >= 0 && row < Rows)
            selected[group] = picks[group] = row;
    }

    void clickCommand(int index) {
        if (index == 1) {
            reset();
            output = u"Направете своя избор!";
        } else if (index == 0 && picks[0] == picks[1]) {
            const int k = picks[0];
            output = captions[0][k] + u" е наука за " + captions[1][k] + u"\r\nВярно! Позна.\r\n" +
                     std::u16string(quiz::QuizTable::comment(k)) + u"\r\n";
            captions[0][k].clear();
            captions[1][k].clear();
            for (int& row : selected)
                row = row == k ? -1 : row;
        } else if (index == 0) {
            output = u"Грешен отговор.\r\n";
        }
    }
};
