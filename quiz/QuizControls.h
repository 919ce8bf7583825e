// What the matching rules need of the window's controls, and nothing more:
// the captions and selected flags of the twenty option buttons, and the whole
// text of the output box. The real window and the in-memory model both
// implement it, so the rules run the same with or without a window.
#pragma once

#include "QuizTable.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quiz {

// The two option groups, named after their control arrays.
enum class OptionGroup {
    Option1, // the sciences, left frame
    Option2, // the subjects, right frame
};

// A group's place in arrays of both: 0 for the sciences, 1 for the subjects.
constexpr std::size_t column(OptionGroup group) {
    return group == OptionGroup::Option1 ? 0 : 1;
}

class QuizControls {
public:
    virtual ~QuizControls() = default;

    // Option buttons. Callers pass 0 <= row < RowCount only.
    virtual std::u16string caption(OptionGroup group, RowIndex row) const = 0;
    virtual void setCaption(OptionGroup group, RowIndex row, std::u16string_view text) = 0;
    virtual bool isSelected(OptionGroup group, RowIndex row) const = 0;
    // Clears the button's selected flag. Raises no click.
    virtual void deselect(OptionGroup group, RowIndex row) = 0;

    // The output box: whole-text read and write. Reading returns exactly
    // what was last written, CR LF pairs included.
    virtual std::u16string outputText() const = 0;
    virtual void setOutputText(std::u16string_view text) = 0;

protected:
    QuizControls() = default;
    QuizControls(const QuizControls&) = default;
    QuizControls& operator=(const QuizControls&) = default;
};

} // namespace quiz
