// The one door of the window's events into the rules. A front end hands on
// each click as its platform delivered it: the control array and the member
// index, any number at all, or both as text when the platform names its
// controls by text (a page's form values). Here, and only here, the event is
// checked: one that names no member of Option1, Option2 or Command1 changes
// nothing. What screen readers should hear comes back to the front end.
#pragma once

#include "QuizControls.h"
#include "QuizRules.h"

#include <optional>
#include <string>
#include <string_view>

namespace quiz {

// The window's control arrays that raise click events.
enum class ControlArray {
    Option1,  // the science options, members 0 <= k < RowCount
    Option2,  // the subject options, members 0 <= k < RowCount
    Command1, // the push buttons, members Check and Clear
};

// The array named exactly "Option1", "Option2" or "Command1"; nothing for any other text.
std::optional<ControlArray> controlArray(std::string_view name);
std::optional<ControlArray> controlArray(std::u16string_view name);

// The option group of an option array; Command1 has none.
std::optional<OptionGroup> optionGroup(ControlArray array);

// True when `index` is a member of `array`: 0 <= index < RowCount for the
// option arrays, Check or Clear for Command1.
bool isMember(ControlArray array, long long index);

// A member index written in decimal: an optional '-' and 1 to 18 digits, and
// nothing else (no blanks, no sign '+', no fraction). Nothing for other text.
std::optional<long long> memberIndex(std::u16string_view text);

class QuizEvents {
public:
    // The controls must outlive the events.
    explicit QuizEvents(QuizControls& controls) : quizRules(controls), controls(controls) {}

    // The window's load event: the set-up.
    void Form_Load() { quizRules.ResetBoard(); }

    // A click on member `index` of `array`. The option group has already
    // selected an option before its click arrives. Returns what screen
    // readers should hear now: after a command, the verdict it left in the
    // output box (spokenVerdict); nothing after an option's click, or when
    // the event names no member.
    std::optional<std::u16string> click(ControlArray array, long long index);
    // The same with the array's name and the index as the platform gave them.
    std::optional<std::u16string> click(std::u16string_view array, std::u16string_view index);

    const QuizRules& rules() const { return quizRules; }

private:
    QuizRules quizRules;
    QuizControls& controls;
};

} // namespace quiz
