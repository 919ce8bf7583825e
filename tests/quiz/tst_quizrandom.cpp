// Long random games against the in-memory model, checked after every event
// against the independent reference of the rules. The seed and the count can
// be chosen for long soaks:
//   ZOOMATCH_RANDOM_SEED=7 ZOOMATCH_RANDOM_EVENTS=100000000 tst_quizrandom
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "ControlsModel.h"
#include "ReferenceQuiz.h"
#include "Utf16Text.h"

#include <random>

using quiz::OptionGroup;

TEST_CASE("random games match the reference") {
    const auto seed = static_cast<unsigned>(fromEnvironment("ZOOMATCH_RANDOM_SEED", 20261208));
    const long long events = fromEnvironment("ZOOMATCH_RANDOM_EVENTS", 20000);
    constexpr int eventsPerGame = 500;
    const long long games = (events + eventsPerGame - 1) / eventsPerGame;
    std::mt19937 random(seed);
    long long matches = 0; // so the games are known to reach correct checks
    for (long long game = 0; game < games; ++game) {
        quiz::ControlsModel model;
        model.Form_Load();
        ReferenceQuiz expected;
        for (int step = 0; step < eventsPerGame; ++step) {
            // Mostly rows and commands that exist, with some that do not.
            const int kind = int(random() % 10);
            const int index = int(random() % 16) - 3;
            if (kind < 8) {
                const int group = kind % 2;
                model.clickOption(group == 0 ? OptionGroup::Option1 : OptionGroup::Option2, index);
                expected.clickOption(group, index);
            } else {
                const int command = kind == 8 ? index % 4 : int(random() % 2);
                model.clickCommand(command);
                expected.clickCommand(command);
                if (expected.output.ends_with(u"Вярно! Позна.\r\n \r\n"))
                    ++matches;
            }

            // Plain comparisons keep a million events quick; a failure names
            // its seed, game and step, and ends the run.
            const auto fail = [&](const char* what) {
                FAIL("seed ", seed, ", game ", game, ", step ", step, ": ", what);
            };
            for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k) {
                for (int group : {0, 1}) {
                    const auto g = group == 0 ? OptionGroup::Option1 : OptionGroup::Option2;
                    if (model.caption(g, k) != expected.captions[group][k])
                        fail("a caption differs");
                    if (model.isSelected(g, k) != (expected.selected[group] == k))
                        fail("a selection differs");
                }
            }
            if (model.quizRules().lastPick1() != expected.picks[0] ||
                model.quizRules().lastPick2() != expected.picks[1])
                fail("the picks differ");
            if (model.outputText() != expected.output)
                fail("the output text differs");
        }
    }
    CHECK_MESSAGE(matches >= events / 200, "only ", matches, " matches");
}
