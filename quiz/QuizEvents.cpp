#include "QuizEvents.h"

#include <algorithm>
#include <iterator>

namespace quiz {

namespace {

template <typename Char> std::optional<ControlArray> arrayNamed(std::basic_string_view<Char> name) {
    constexpr std::string_view names[] = {"Option1", "Option2", "Command1"};
    constexpr ControlArray arrays[] = {ControlArray::Option1, ControlArray::Option2,
                                       ControlArray::Command1};
    for (std::size_t i = 0; i < std::size(names); ++i)
        if (std::equal(name.begin(), name.end(), names[i].begin(), names[i].end()))
            return arrays[i];
    return std::nullopt;
}

} // namespace

std::optional<ControlArray> controlArray(std::string_view name) {
    return arrayNamed(name);
}

std::optional<ControlArray> controlArray(std::u16string_view name) {
    return arrayNamed(name);
}

std::optional<OptionGroup> optionGroup(ControlArray array) {
    switch (array) {
    case ControlArray::Option1:
        return OptionGroup::Option1;
    case ControlArray::Option2:
        return OptionGroup::Option2;
    case ControlArray::Command1:
        break;
    }
    return std::nullopt;
}

bool isMember(ControlArray array, long long index) {
    if (array == ControlArray::Command1)
        return index == QuizRules::Check || index == QuizRules::Clear;
    return index >= 0 && index < RowCount;
}

std::optional<long long> memberIndex(std::u16string_view text) {
    const bool negative = !text.empty() && text.front() == u'-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

std::optional<std::u16string> QuizEvents::click(ControlArray array, long long index) {
    if (!isMember(array, index))
        return std::nullopt;
    const auto member = static_cast<RowIndex>(index);
    switch (array) {
    case ControlArray::Option1:
        quizRules.Option1_Click(member);
        return std::nullopt;
    case ControlArray::Option2:
        quizRules.Option2_Click(member);
        return std::nullopt;
    case ControlArray::Command1:
        break;
    }
    quizRules.Command1_Click(member);
    // A right pair is written in three steps, so the verdict is taken once
    // the command has finished.
    return spokenVerdict(controls.outputText());
}

std::optional<std::u16string> QuizEvents::click(std::u16string_view array,
                                                std::u16string_view index) {
    const auto named = controlArray(array);
    const auto member = memberIndex(index);
    if (!named || !member)
        return std::nullopt;
    return click(*named, *member);
}

} // namespace quiz
