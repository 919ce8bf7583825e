#include "QuizRules.h"

#include <algorithm>

namespace quiz {

void QuizRules::ResetBoard() {
    pick1 = NoPick1;
    pick2 = NoPick2;
    for (RowIndex k = 0; k < RowCount; ++k) {
        controls.deselect(OptionGroup::Option1, k);
        controls.setCaption(OptionGroup::Option1, k, QuizTable::science(k));
        controls.deselect(OptionGroup::Option2, k);
        controls.setCaption(OptionGroup::Option2, k, QuizTable::subject(k));
    }
}

void QuizRules::Option1_Click(RowIndex Index) {
    pick1 = Index;
}

void QuizRules::Option2_Click(RowIndex Index) {
    pick2 = Index;
}

void QuizRules::Command1_Click(RowIndex Index) {
    if (Index == Check)
        check();
    else if (Index == Clear)
        clear();
}

void QuizRules::check() {
    // Equal picks name a row: the set-up values differ, and only rows are
    // let through to the clicks. The row is still checked before it is read.
    if (pick1 != pick2 || !isRow(pick1)) {
        controls.setOutputText(u"Грешен отговор.\r\n");
        return;
    }
    const RowIndex k = pick1;
    // The captions as they stand now: a row matched before reads as blanks.
    const std::u16string science = controls.caption(OptionGroup::Option1, k);
    const std::u16string subject = controls.caption(OptionGroup::Option2, k);

    // The output box is written whole each time; appending reads it back first.
    controls.setOutputText(science + u" е наука за " + subject + u"\r\n");
    controls.setOutputText(controls.outputText() + u"Вярно! Позна.\r\n");
    controls.setOutputText(controls.outputText() + std::u16string(QuizTable::comment(k)) + u"\r\n");

    controls.setCaption(OptionGroup::Option1, k, u"");
    controls.setCaption(OptionGroup::Option2, k, u"");
    controls.deselect(OptionGroup::Option1, k);
    controls.deselect(OptionGroup::Option2, k);
}

void QuizRules::clear() {
    ResetBoard();
    controls.setOutputText(u"Направете своя избор!");
}

std::u16string spokenVerdict(std::u16string_view output) {
    std::u16string verdict;
    while (!output.empty()) {
        const std::size_t end = std::min(output.find(u"\r\n"), output.size());
        const std::u16string_view line(output.data(), end);
        if (line.find_first_not_of(u' ') != std::u16string_view::npos) {
            if (!verdict.empty())
                verdict += u'\n';
            verdict += line;
        }
        output.remove_prefix(std::min(end + 2, output.size()));
    }
    return verdict;
}

} // namespace quiz
