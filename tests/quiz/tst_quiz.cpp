// The quiz content letter for letter, and whole games against the in-memory
// model of the window's controls: every right pair, bad input, the window's
// scenarios, and long random games checked after every event against the
// independent reference of the rules. The random games' seed and count:
//   ZOOMATCH_RANDOM_SEED=7 ZOOMATCH_RANDOM_EVENTS=100000000 tst_quiz -tc=random*
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "ControlsModel.h"
#include "ReferenceQuiz.h"
#include "Utf16Text.h"
#include "WindowBehaviour.h"

#include <climits>
#include <random>
#include <vector>

using quiz::ControlsModel;
using quiz::OptionGroup;
using quiz::QuizTable;

namespace {

constexpr auto Science = OptionGroup::Option1;
constexpr auto Subject = OptionGroup::Option2;
constexpr int Check = 0;
constexpr int Clear = 1;

// The twenty captions with a star after each selected one, the picks and the output.
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

} // namespace

TEST_CASE("every row of the table, matched: its verdict, and only its row blanked") {
    constexpr std::u16string_view rows[][2]{
        {u"анатомия", u"вътрешен строеж на организми"},
        {u"батрахология", u"земноводни"},
        {u"ентомология", u"насекоми"},
        {u"ихтиология", u"риби"},
        {u"морфология", u"форми и устройство на животни"},
        {u"орнитология", u"птици"},
        {u"териология", u"бозайници"},
        {u"херпетология", u"влечуги"},
        {u"хистология", u"тъкани на животинско тяло"},
        {u"цитология", u"клетки на животинско тяло"},
    };
    ControlsModel model;
    CHECK(model.outputText() == QuizTable::introduction()); // before the load event too
    model.Form_Load();
    CHECK(snapshot(model).at(20) == u"-5");
    CHECK(snapshot(model).at(21) == u"-15");
    for (int row = 0; row < quiz::RowCount; ++row) {
        CAPTURE(row);
        CHECK(QuizTable::science(row) == rows[row][0]);
        CHECK(QuizTable::subject(row) == rows[row][1]);
        CHECK(QuizTable::comment(row) == u" ");
        model.clickOption(Science, row);
        model.clickOption(Subject, row);
        auto expected = snapshot(model);
        CHECK((expected[row].ends_with(u"*") && expected[quiz::RowCount + row].ends_with(u"*")));
        expected[row] = expected[quiz::RowCount + row] = u"";
        expected[22] = std::u16string(rows[row][0]) + u" е наука за " +
                       std::u16string(rows[row][1]) + u"\r\nВярно! Позна.\r\n \r\n";
        model.clickCommand(Check);
        CHECK(snapshot(model) == expected);
        model.clickCommand(Clear);
    }
}

TEST_CASE("the introduction, and rows outside the table read empty") {
    constexpr std::u16string_view expected =
        u"Биологията е наука за живота. Нейните подразделения се разграничават едно от друго "
        u"според вида изследвани организми и според методите за тяхното изследване. Примери за "
        u"това са: зоология - наука за животните; физиология -  за жизнените процеси на "
        u"животните; палеонтология - за животни, живели през миналите геологични времена и "
        u"др.\r\n"
        u"Да се реализира проект, представящ междупредметни връзки Биология и Информатика.\r\n"
        u"Тема на проекта: Биология - науки за животните.\r\n"
        u"В две групи радиобутони да се поставят вида наука и нейния предмет.\r\n"
        u"В реализираният проект са представени: анатомия, батрахология, ентомология, "
        u"ихтиология, морфология, орнитология, териология, херпетология, хистология, "
        u"цитология. Съберете допълнително информация за избраните направления в науката "
        u"Биология.\r\n";
    CHECK(QuizTable::introduction() == expected);
    CHECK(expected.size() == 773); // five lines, with two blanks after "физиология -"
    for (int row : {-32768, -15, -5, -1, 10, 11, 32767}) {
        CAPTURE(row);
        CHECK((QuizTable::science(row).empty() && QuizTable::subject(row).empty() &&
               QuizTable::comment(row).empty()));
    }
}

TEST_CASE("bad input changes nothing") {
    ControlsModel model;
    model.Form_Load();
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

    // Events as a page names them, in text: only a whole decimal member of a
    // named array counts.
    quiz::QuizEvents events(model);
    for (const char16_t* array : {u"Option1", u"Option2", u"Command1"})
        for (const char16_t* index : {u"3x", u"", u" 3", u"+3", u"3.0", u"NaN", u"-0x1",
                                      u"99999999999999999999", u"0 ", u"-"})
            CHECK(!events.click(array, index));
    for (const char16_t* array : {u"Option3", u"option1", u""})
        CHECK(!events.click(array, u"0"));
    CHECK(snapshot(model) == before);
    CHECK(events.click(u"Command1", u"-0") == u"Грешен отговор.");
}

TEST_CASE("what screen readers say of an output") {
    // The verdicts themselves are in the window's scenarios.
    CHECK(quiz::spokenVerdict(u"").empty());
    CHECK(quiz::spokenVerdict(u" \r\n\r\n") == u"");
    CHECK(quiz::spokenVerdict(u"a\r\n \r\nb") == u"a\nb");
}

// Every scenario, keys included, agrees with the reference that the soaks
// use; those without keys are played against the model.
TEST_CASE("the window's scenarios") {
    for (const behaviour::Scenario& scenario : behaviour::scenarios()) {
        CAPTURE(scenario.name);
        const behaviour::Scenario played = behaviour::referencePlay(scenario);
        REQUIRE(played.steps.size() == scenario.steps.size());
        ControlsModel model;
        model.Form_Load();
        for (std::size_t at = 0; at < scenario.steps.size(); ++at) {
            CAPTURE(at);
            const behaviour::Step& step = scenario.steps[at];
            const behaviour::Step& reference = played.steps[at];
            CHECK(controlId(reference.focus) == controlId(step.focus));
            CHECK((reference.science == step.science && reference.subject == step.subject));
            CHECK(reference.blanked == step.blanked);
            CHECK(reference.output == step.output);
            CHECK(reference.announced == step.announced);
            if (scenario.usesKeys())
                continue;
            std::optional<std::u16string> said;
            if (step.input.kind == behaviour::Input::Kind::Click)
                said = model.click(window::controlArray(step.input.control).value(),
                                   step.input.control.index);
            for (OptionGroup group : {Science, Subject})
                for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k) {
                    CAPTURE(k);
                    CHECK(model.caption(group, k) == behaviour::expectedCaption(step, group, k));
                    CHECK(model.isSelected(group, k) ==
                          (k == (group == Science ? step.science : step.subject)));
                }
            CHECK(model.outputText() == step.output);
            CHECK(said == step.announced);
        }
    }
}

TEST_CASE("random games match the reference") {
    const auto seed = static_cast<unsigned>(fromEnvironment("ZOOMATCH_RANDOM_SEED", 20261208));
    const long long events = fromEnvironment("ZOOMATCH_RANDOM_EVENTS", 20000);
    constexpr int eventsPerGame = 500;
    std::mt19937 random(seed);
    long long matches = 0; // so the games are known to reach correct checks
    for (long long game = 0; game * eventsPerGame < events; ++game) {
        ControlsModel model;
        model.Form_Load();
        ReferenceQuiz expected;
        for (int step = 0; step < eventsPerGame; ++step) {
            // Mostly rows and commands that exist, with some that do not.
            const int kind = int(random() % 10);
            const int index = int(random() % 16) - 3;
            if (kind < 8) {
                model.clickOption(kind % 2 == 0 ? Science : Subject, index);
                expected.clickOption(kind % 2, index);
            } else {
                const int command = kind == 8 ? index % 4 : int(random() % 2);
                model.clickCommand(command);
                expected.clickCommand(command);
                matches += expected.output.ends_with(u"Вярно! Позна.\r\n \r\n");
            }
            // Plain comparisons keep a million events quick; a failure names
            // its seed, game and step, and ends the run.
            bool same = model.quizRules().lastPick1() == expected.picks[0] &&
                        model.quizRules().lastPick2() == expected.picks[1] &&
                        model.outputText() == expected.output;
            for (int group : {0, 1})
                for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k)
                    same = same &&
                           model.caption(group ? Subject : Science, k) ==
                               expected.captions[group][k] &&
                           model.isSelected(group ? Subject : Science, k) ==
                               (expected.selected[group] == k);
            if (!same)
                FAIL("seed ", seed, ", game ", game, ", step ", step, ": the window differs");
        }
    }
    CHECK_MESSAGE(matches >= events / 200, "only ", matches, " matches");
}
