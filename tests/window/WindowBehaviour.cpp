#include "WindowBehaviour.h"

#include "QuizTable.h"
#include "ReferenceQuiz.h"

#include <algorithm>
#include <array>
#include <random>

namespace behaviour {

namespace {

using window::Member;

constexpr Member Text1{"Text1", 0};
constexpr Member Check{"Command1", 0}; // Изведи
constexpr Member Clear{"Command1", 1}; // Чисти
constexpr Member Option1(int k) {
    return {"Option1", k};
}
constexpr Member Option2(int k) {
    return {"Option2", k};
}

constexpr Input start{};
constexpr Input click(Member control) {
    return {Input::Kind::Click, control};
}
constexpr Input key(Key pressed) {
    return {Input::Kind::Key, {}, pressed};
}
using enum Key;

constexpr std::uint16_t rows(std::initializer_list<int> blanked) {
    std::uint16_t bits = 0;
    for (int k : blanked)
        bits = static_cast<std::uint16_t>(bits | 1u << k);
    return bits;
}

const std::optional<std::u16string> silent;

const std::u16string intro(quiz::QuizTable::introduction());
const std::u16string wrong = u"Грешен отговор.\r\n";
const std::u16string choose = u"Направете своя избор!";
const std::u16string saidWrong = u"Грешен отговор.";
const std::u16string saidChoose = u"Направете своя избор!";
// A second check after a right one matches the blanked captions again.
const std::u16string blanks = u" е наука за \r\nВярно! Позна.\r\n \r\n";
const std::u16string saidBlanks = u" е наука за \nВярно! Позна.";
const std::u16string anatomy =
    u"анатомия е наука за вътрешен строеж на организми\r\nВярно! Позна.\r\n \r\n";
const std::u16string saidAnatomy =
    u"анатомия е наука за вътрешен строеж на организми\nВярно! Позна.";
const std::u16string cytology =
    u"цитология е наука за клетки на животинско тяло\r\nВярно! Позна.\r\n \r\n";
const std::u16string saidCytology =
    u"цитология е наука за клетки на животинско тяло\nВярно! Позна.";

// clang-format off
const std::vector<Scenario> all{
    {"a wrong pair, then the right subject, checked twice, then cleared", {
//       input                focus        science subject blanked    output  announced
        {start,               Text1,       None,   None,   0,         intro,  silent},
        {click(Check),        Check,       None,   None,   0,         wrong,  saidWrong},
        {click(Option1(3)),   Option1(3),  3,      None,   0,         wrong,  silent},
        {click(Check),        Check,       3,      None,   0,         wrong,  saidWrong},
        {click(Option2(5)),   Option2(5),  3,      5,      0,         wrong,  silent},
        {click(Check),        Check,       3,      5,      0,         wrong,  saidWrong},
        {click(Option2(3)),   Option2(3),  3,      3,      0,         wrong,  silent},
        {click(Check),        Check,       None,   None,   rows({3}),
            u"ихтиология е наука за риби\r\nВярно! Позна.\r\n \r\n",
            u"ихтиология е наука за риби\nВярно! Позна."},
        {click(Check),        Check,       None,   None,   rows({3}), blanks, saidBlanks},
        {click(Clear),        Clear,       None,   None,   0,         choose, saidChoose},
        {click(Check),        Check,       None,   None,   0,         wrong,  saidWrong},
    }},
    {"blanked options are clicked and matched like any other", {
        {start,               Text1,       None,   None,   0,         intro,  silent},
        {click(Option1(0)),   Option1(0),  0,      None,   0,         intro,  silent},
        {click(Option2(0)),   Option2(0),  0,      0,      0,         intro,  silent},
        {click(Check),        Check,       None,   None,   rows({0}), anatomy, saidAnatomy},
        {click(Option2(9)),   Option2(9),  None,   9,      rows({0}), anatomy, silent},
        {click(Option1(9)),   Option1(9),  9,      9,      rows({0}), anatomy, silent},
        {click(Check),        Check,       None,   None,   rows({0, 9}), cytology, saidCytology},
        {click(Option1(0)),   Option1(0),  0,      None,   rows({0, 9}), cytology, silent},
        {click(Option2(9)),   Option2(9),  0,      9,      rows({0, 9}), cytology, silent},
        {click(Check),        Check,       0,      9,      rows({0, 9}), wrong, saidWrong},
        {click(Option2(0)),   Option2(0),  0,      0,      rows({0, 9}), wrong, silent},
        {click(Check),        Check,       None,   None,   rows({0, 9}), blanks, saidBlanks},
        {click(Option1(4)),   Option1(4),  4,      None,   rows({0, 9}), blanks, silent},
        {click(Clear),        Clear,       None,   None,   0,         choose, saidChoose},
        {click(Option2(0)),   Option2(0),  None,   0,      0,         choose, silent},
        {click(Check),        Check,       None,   0,      0,         wrong,  saidWrong},
    }},
    {"the keyboard alone: a whole game and every key", {
        {start,               Text1,       None,   None,   0,         intro,  silent},
        {key(Tab),            Option1(0),  None,   None,   0,         intro,  silent},
        {key(Up),             Option1(9),  9,      None,   0,         intro,  silent},
        {key(Tab),            Option2(6),  9,      None,   0,         intro,  silent},
        {key(Down),           Option2(7),  9,      7,      0,         intro,  silent},
        {key(Down),           Option2(0),  9,      0,      0,         intro,  silent},
        {key(Down),           Option2(1),  9,      1,      0,         intro,  silent},
        {key(Down),           Option2(9),  9,      9,      0,         intro,  silent},
        {key(Tab),            Clear,       9,      9,      0,         intro,  silent},
        {key(Tab),            Check,       9,      9,      0,         intro,  silent},
        {key(Down),           Check,       9,      9,      0,         intro,  silent},
        {key(Left),           Check,       9,      9,      0,         intro,  silent},
        {key(Enter),          Check,       None,   None,   rows({9}), cytology, saidCytology},
        {key(Space),          Check,       None,   None,   rows({9}), blanks, saidBlanks},
        {key(Tab),            Text1,       None,   None,   rows({9}), blanks, silent},
        {key(Enter),          Text1,       None,   None,   rows({9}), blanks, silent},
        {key(Escape),         Text1,       None,   None,   rows({9}), blanks, silent},
        {key(ShiftTab),       Check,       None,   None,   rows({9}), blanks, silent},
        {key(ShiftTab),       Clear,       None,   None,   rows({9}), blanks, silent},
        {key(ShiftTab),       Option2(6),  None,   None,   rows({9}), blanks, silent},
        {key(ShiftTab),       Option1(0),  None,   None,   rows({9}), blanks, silent},
        {key(Space),          Option1(0),  0,      None,   rows({9}), blanks, silent},
        {key(Enter),          Option1(0),  0,      None,   rows({9}), blanks, silent},
        {key(Escape),         Option1(0),  0,      None,   rows({9}), blanks, silent},
        {key(Down),           Option1(1),  1,      None,   rows({9}), blanks, silent},
        {key(Left),           Option1(0),  0,      None,   rows({9}), blanks, silent},
        {key(Left),           Option1(9),  9,      None,   rows({9}), blanks, silent},
        {key(ShiftTab),       Text1,       9,      None,   rows({9}), blanks, silent},
        {key(Tab),            Option1(9),  9,      None,   rows({9}), blanks, silent},
        {key(Right),          Option1(0),  0,      None,   rows({9}), blanks, silent},
        {key(Tab),            Option2(6),  0,      None,   rows({9}), blanks, silent},
        {key(Up),             Option2(4),  0,      4,      rows({9}), blanks, silent},
        {key(Right),          Option2(6),  0,      6,      rows({9}), blanks, silent},
        {key(Tab),            Clear,       0,      6,      rows({9}), blanks, silent},
        {key(Space),          Clear,       None,   None,   0,         choose, saidChoose},
        {key(Enter),          Clear,       None,   None,   0,         choose, saidChoose},
        {key(ShiftTab),       Option2(6),  None,   None,   0,         choose, silent},
        // A button clicked again soon after takes the focus as the first click did.
        {click(Clear),        Clear,       None,   None,   0,         choose, saidChoose},
        {key(ShiftTab),       Option2(6),  None,   None,   0,         choose, silent},
        {click(Clear),        Clear,       None,   None,   0,         choose, saidChoose},
    }},
};
// clang-format on

// The window as the steps see it, stated apart from the front ends and the
// core: the reference rules, and the focus moved by the keyboard rule.
class ReferenceWindow {
public:
    Step state(Input input, std::optional<std::u16string> announced) const {
        std::uint16_t blanked = 0;
        for (int k = 0; k < quiz::RowCount; ++k)
            if (quiz.captions[0][k].empty())
                blanked = static_cast<std::uint16_t>(blanked | 1u << k);
        return {input,   focus,       quiz.selected[0],    quiz.selected[1],
                blanked, quiz.output, std::move(announced)};
    }

    Step play(Input input) {
        if (input.kind == Input::Kind::Click)
            return state(input, press(input.control));
        const auto group = window::optionGroup(focus);
        std::optional<std::u16string> said;
        switch (input.key) {
        case Tab:
        case ShiftTab:
            moveRound(input.key == Tab ? 1 : -1);
            break;
        case Up:
        case Left:
        case Down:
        case Right:
            if (group) {
                const int step = input.key == Up || input.key == Left ? -1 : 1;
                said = press(
                    {focus.name,
                     window::neighbour(*group, static_cast<quiz::RowIndex>(focus.index), step)});
            }
            break;
        case Space:
            if (group || focus == Check || focus == Clear)
                said = press(focus);
            break;
        case Enter:
            if (focus == Check || focus == Clear)
                said = press(focus);
            break;
        case Escape:
            break;
        }
        return state(input, said);
    }

private:
    // A click, a key or a tap on a control: it takes the focus, and a push
    // button's verdict is told.
    std::optional<std::u16string> press(Member control) {
        focus = control;
        if (const auto group = window::optionGroup(control)) {
            quiz.clickOption(static_cast<int>(quiz::column(*group)), control.index);
            return std::nullopt;
        }
        quiz.clickCommand(control.index);
        // Each line that is not blank, as screen readers are given it.
        std::u16string said;
        std::u16string_view rest = quiz.output;
        while (!rest.empty()) {
            const auto end = std::min(rest.find(u"\r\n"), rest.size());
            const auto line = rest.substr(0, end);
            if (line.find_first_not_of(u' ') != std::u16string_view::npos)
                said += (said.empty() ? u"" : u"\n") + std::u16string(line);
            rest.remove_prefix(std::min(end + 2, rest.size()));
        }
        return said;
    }

    void moveRound(int step) {
        // The stops: the output box, each column, the buttons left to right.
        const std::array<Member, 5> stops{Text1, Option1(-1), Option2(-1), Clear, Check};
        const auto at = std::find_if(stops.begin(), stops.end(), [this](const Member& stop) {
            return stop.name == focus.name && (stop.index == -1 || stop.index == focus.index);
        });
        Member next = stops[static_cast<std::size_t>(((at - stops.begin()) + step + 5) % 5)];
        if (next.index == -1) {
            const int column = next.name == "Option1" ? 0 : 1;
            const int selected = quiz.selected[column];
            next.index = selected >= 0
                             ? selected
                             : window::columnRows(column == 0 ? quiz::OptionGroup::Option1
                                                              : quiz::OptionGroup::Option2)
                                   .front();
        }
        focus = next;
    }

    ReferenceQuiz quiz;
    Member focus = Text1;
};

} // namespace

Scenario randomGame(unsigned seed, long long count) {
    std::mt19937 random(seed);
    ReferenceWindow window;
    Scenario game{"a random game", {window.state(start, silent)}};
    game.steps.reserve(static_cast<std::size_t>(count) + 1);
    const auto controls = window::controlDefinitions();
    for (long long i = 0; i < count; ++i) {
        Input input;
        if (random() % 2 == 0) {
            // A click on an option (most often) or a push button.
            Member control;
            do {
                control = controls[random() % controls.size()].member;
            } while (!window::controlArray(control) ||
                     (control.name == "Command1" && random() % 3 != 0));
            input = click(control);
        } else {
            input = key(static_cast<Key>(random() % 9));
        }
        game.steps.push_back(window.play(input));
    }
    return game;
}

Scenario referencePlay(const Scenario& scenario) {
    ReferenceWindow window;
    Scenario played{scenario.name, {window.state(start, silent)}};
    for (std::size_t i = 1; i < scenario.steps.size(); ++i)
        played.steps.push_back(window.play(scenario.steps[i].input));
    return played;
}

std::string_view keyName(Key key) {
    constexpr std::string_view names[] = {"Tab",   "ShiftTab", "Up",    "Down",  "Left",
                                          "Right", "Space",    "Enter", "Escape"};
    return names[static_cast<int>(key)];
}

bool Scenario::usesKeys() const {
    return std::any_of(steps.begin(), steps.end(),
                       [](const Step& step) { return step.input.kind == Input::Kind::Key; });
}

const std::vector<Scenario>& scenarios() {
    return all;
}

std::u16string_view expectedCaption(const Step& step, quiz::OptionGroup group, int row) {
    if (step.blanked & (1u << row))
        return u"";
    return group == quiz::OptionGroup::Option1 ? quiz::QuizTable::science(row)
                                               : quiz::QuizTable::subject(row);
}

} // namespace behaviour
