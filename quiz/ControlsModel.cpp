#include "ControlsModel.h"

#include <limits>

namespace quiz {

ControlsModel::ControlsModel() : output(QuizTable::introduction()) {
    for (RowIndex k = 0; k < RowCount; ++k) {
        sciences[k].caption = QuizTable::science(k);
        subjects[k].caption = QuizTable::subject(k);
    }
}

void ControlsModel::clickOption(OptionGroup group, int row) {
    if (!isRow(row))
        return;
    for (auto& button : column(group))
        button.selected = false;
    column(group)[row].selected = true;
    if (group == OptionGroup::Option1)
        rules.Option1_Click(static_cast<RowIndex>(row));
    else
        rules.Option2_Click(static_cast<RowIndex>(row));
}

void ControlsModel::clickCommand(int index) {
    // The event carries a 16-bit member index; wider values name no button.
    if (index >= std::numeric_limits<RowIndex>::min() &&
        index <= std::numeric_limits<RowIndex>::max())
        rules.Command1_Click(static_cast<RowIndex>(index));
}

std::u16string ControlsModel::caption(OptionGroup group, RowIndex row) const {
    return isRow(row) ? column(group)[row].caption : std::u16string();
}

void ControlsModel::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    if (isRow(row))
        column(group)[row].caption = text;
}

bool ControlsModel::isSelected(OptionGroup group, RowIndex row) const {
    return isRow(row) && column(group)[row].selected;
}

void ControlsModel::deselect(OptionGroup group, RowIndex row) {
    if (isRow(row))
        column(group)[row].selected = false;
}

} // namespace quiz
