// An in-memory stand-in for the quiz window: the twenty option buttons, the
// output box and the rules wired to them, so a whole game runs without a
// window. It starts as the window does when created: every option shows its
// table entry, none is selected, and the output box holds the introduction.
#pragma once

#include "QuizControls.h"
#include "QuizEvents.h"

#include <array>
#include <optional>
#include <string>

namespace quiz {

class ControlsModel final : public QuizControls {
public:
    ControlsModel();
    ControlsModel(const ControlsModel&) = delete;
    ControlsModel& operator=(const ControlsModel&) = delete;

    // The window's load event: runs the set-up.
    void Form_Load() { events.Form_Load(); }

    // A click on member `index` of `array`, as the window delivers it: an
    // option is selected and the others of its group cleared, then the click
    // goes to the rules. An index that names no member changes nothing.
    // Returns what screen readers would hear (QuizEvents::click).
    std::optional<std::u16string> click(ControlArray array, long long index);
    void clickOption(OptionGroup group, long long row) {
        click(group == OptionGroup::Option1 ? ControlArray::Option1 : ControlArray::Option2, row);
    }
    std::optional<std::u16string> clickCommand(long long index) {
        return click(ControlArray::Command1, index);
    }

    const QuizRules& quizRules() const { return events.rules(); }

    // QuizControls. Rows outside 0 <= row < RowCount read as an empty,
    // unselected button and are never written.
    std::u16string caption(OptionGroup group, RowIndex row) const override;
    void setCaption(OptionGroup group, RowIndex row, std::u16string_view text) override;
    bool isSelected(OptionGroup group, RowIndex row) const override;
    void deselect(OptionGroup group, RowIndex row) override;
    std::u16string outputText() const override { return output; }
    void setOutputText(std::u16string_view text) override { output = text; }

private:
    struct OptionButton {
        std::u16string caption;
        bool selected = false;
    };
    using Column = std::array<OptionButton, RowCount>;

    Column& column(OptionGroup group) {
        return group == OptionGroup::Option1 ? sciences : subjects;
    }
    const Column& column(OptionGroup group) const {
        return group == OptionGroup::Option1 ? sciences : subjects;
    }

    Column sciences;
    Column subjects;
    std::u16string output;
    QuizEvents events{*this};
};

} // namespace quiz
