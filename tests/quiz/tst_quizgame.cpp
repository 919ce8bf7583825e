// Whole games against the in-memory model of the window's controls.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "ControlsModel.h"
#include "Utf16Text.h"
#include "WindowBehaviour.h"

#include <climits>
#include <utility>
#include <vector>

using quiz::ControlsModel;
using quiz::OptionGroup;
using quiz::QuizTable;

namespace {

constexpr auto Science = OptionGroup::Option1;
constexpr auto Subject = OptionGroup::Option2;
constexpr int Check = 0;
constexpr int Clear = 1;

std::u16string matched(std::u16string_view science, std::u16string_view subject) {
    return std::u16string(science) + u" е наука за " + std::u16string(subject) +
           u"\r\nВярно! Позна.\r\n \r\n";
}

// Everything a learner or the rules can see, for comparing whole states:
// the twenty captions, a star after each selected one, the picks, the output.
std::vector<std::u16string> snapshot(const ControlsModel& model) {
    std::vector<std::u16string> state;
    for (OptionGroup group : {Science, Subject})
        for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k)
            state.push_back(model.caption(group, k) + (model.isSelected(group, k) ? u"*" : u""));
    for (int pick : {model.quizRules().lastPick1(), model.quizRules().lastPick2()}) {
        const std::string digits = std::to_string(pick);
        state.emplace_back(digits.begin(), digits.end());
    }
    state.push_back(model.outputText());
    return state;
}

// A window as it stands after its load event.
struct LoadedModel {
    ControlsModel model;
    LoadedModel() { model.Form_Load(); }

    void checkFullBoard() const {
        for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k) {
            CAPTURE(k);
            CHECK(model.caption(Science, k) == QuizTable::science(k));
            CHECK(model.caption(Subject, k) == QuizTable::subject(k));
            CHECK((!model.isSelected(Science, k) && !model.isSelected(Subject, k)));
        }
        CHECK(model.quizRules().lastPick1() == -5);
        CHECK(model.quizRules().lastPick2() == -15);
    }
};

} // namespace

TEST_CASE_FIXTURE(LoadedModel, "starts with the introduction and a full board") {
    ControlsModel created;
    CHECK(created.outputText() == QuizTable::introduction());
    created.Form_Load();
    CHECK(created.outputText() == QuizTable::introduction());
    model.clickCommand(Clear);
    checkFullBoard();
}

TEST_CASE_FIXTURE(LoadedModel, "every correct pair") {
    for (int row = 0; row < quiz::RowCount; ++row) {
        CAPTURE(row);
        const auto before = snapshot(model);
        model.clickOption(Science, row);
        model.clickOption(Subject, row);
        CHECK((model.isSelected(Science, row) && model.isSelected(Subject, row)));
        model.clickCommand(Check);
        CHECK(model.outputText() == matched(QuizTable::science(row), QuizTable::subject(row)));
        CHECK(model.quizRules().lastPick1() == row);
        CHECK(model.quizRules().lastPick2() == row);
        // Only the matched row is blanked and deselected.
        const auto after = snapshot(model);
        for (int i = 0; i < 2 * quiz::RowCount; ++i) {
            CAPTURE(i);
            CHECK(after[i] == (i % quiz::RowCount == row ? std::u16string() : before[i]));
        }
        model.clickCommand(Clear);
    }
}

TEST_CASE_FIXTURE(LoadedModel, "bad input changes nothing") {
    model.clickOption(Science, 3);
    model.clickOption(Subject, 8);
    const auto before = snapshot(model);
    for (int row : {-1, 10, 32767, -32768, -5, -15, INT_MIN, INT_MAX}) {
        model.clickOption(Science, row);
        model.clickOption(Subject, row);
    }
    // 65536 and 65537 would check and clear if cut down to 16 bits.
    for (int command : {2, -1, 16, 1000, 65536, 65537, INT_MIN})
        model.clickCommand(command);
    for (int row : {-1, 10, -32768}) {
        model.setCaption(Science, static_cast<quiz::RowIndex>(row), u"x");
        model.deselect(Subject, static_cast<quiz::RowIndex>(row));
        CHECK(model.caption(Science, static_cast<quiz::RowIndex>(row)).empty());
    }
    CHECK(snapshot(model) == before);

    // Events as a page names them, in text: only a whole decimal member counts.
    quiz::QuizEvents events(model);
    for (auto [array, index] : {std::pair{u"Option1", u"3x"},
                                {u"Option1", u""},
                                {u"Option1", u" 3"},
                                {u"Option1", u"+3"},
                                {u"Option1", u"3.0"},
                                {u"Option1", u"NaN"},
                                {u"Option2", u"-0x1"},
                                {u"Option3", u"1"},
                                {u"option1", u"1"},
                                {u"Command1", u"99999999999999999999"},
                                {u"Command1", u"0 "},
                                {u"Command1", u"-"},
                                {u"", u"0"}})
        CHECK(!events.click(array, index));
    CHECK(snapshot(model) == before);
    CHECK(events.click(u"Command1", u"-0") == u"Грешен отговор.");
}

TEST_CASE("what screen readers say of an output") {
    // The verdicts themselves are in the window's scenarios.
    CHECK(quiz::spokenVerdict(u"").empty());
    CHECK(quiz::spokenVerdict(u" \r\n\r\n") == u"");
    CHECK(quiz::spokenVerdict(u"a\r\n \r\nb") == u"a\nb");
}

// The window's scenarios that need no keys, played against the model.
TEST_CASE("the window's scenarios without keys") {
    using quiz::ControlArray;
    for (const behaviour::Scenario& scenario : behaviour::scenarios()) {
        if (scenario.usesKeys())
            continue;
        CAPTURE(scenario.name);
        ControlsModel model;
        model.Form_Load();
        for (std::size_t at = 0; at < scenario.steps.size(); ++at) {
            CAPTURE(at);
            const behaviour::Step& step = scenario.steps[at];
            std::optional<std::u16string> said;
            if (step.input.kind == behaviour::Input::Kind::Click) {
                const auto array = window::controlArray(step.input.control);
                REQUIRE(array);
                said = model.click(*array, step.input.control.index);
            }
            for (OptionGroup group : {Science, Subject}) {
                const int selected = group == Science ? step.science : step.subject;
                for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k) {
                    CAPTURE(k);
                    CHECK(model.caption(group, k) == behaviour::expectedCaption(step, group, k));
                    CHECK(model.isSelected(group, k) == (k == selected));
                }
            }
            CHECK(model.outputText() == step.output);
            CHECK(said == step.announced);
        }
    }
}

// The scenarios, keys included, agree with the independent reference that
// the soaks are checked against.
TEST_CASE("the window's scenarios agree with the reference") {
    for (const behaviour::Scenario& scenario : behaviour::scenarios()) {
        CAPTURE(scenario.name);
        const behaviour::Scenario played = behaviour::referencePlay(scenario);
        REQUIRE(played.steps.size() == scenario.steps.size());
        for (std::size_t at = 0; at < played.steps.size(); ++at) {
            CAPTURE(at);
            const behaviour::Step& want = scenario.steps[at];
            const behaviour::Step& got = played.steps[at];
            CHECK(controlId(got.focus) == controlId(want.focus));
            CHECK(got.science == want.science);
            CHECK(got.subject == want.subject);
            CHECK(got.blanked == want.blanked);
            CHECK(got.output == want.output);
            CHECK(got.announced == want.announced);
        }
    }
}
