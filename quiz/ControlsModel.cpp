#include "ControlsModel.h"

namespace quiz {

ControlsModel::ControlsModel() : output(QuizTable::introduction()) {
    for (RowIndex k = 0; k < RowCount; ++k) {
        sciences[k].caption = QuizTable::science(k);
        subjects[k].caption = QuizTable::subject(k);
    }
}

std::optional<std::u16string> ControlsModel::click(ControlArray array, long long index) {
    const auto group = optionGroup(array);
    if (group && isMember(array, index)) {
        for (auto& button : column(*group))
            button.selected = false;
        column(*group)[static_cast<std::size_t>(index)].selected = true;
    }
    return events.click(array, index);
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
