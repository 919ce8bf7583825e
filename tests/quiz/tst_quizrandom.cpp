// Long random games against the in-memory model, checked after every event
// against the independent reference of the rules. The seed and the count can
// be chosen for long soaks:
//   ZOOMATCH_RANDOM_SEED=7 ZOOMATCH_RANDOM_EVENTS=100000000 tst_quizrandom
#include "ControlsModel.h"
#include "ReferenceQuiz.h"

#include <QTest>

#include <random>

using quiz::OptionGroup;

class TestQuizRandom : public QObject {
    Q_OBJECT

private slots:
    void randomGamesMatchTheReference() {
        const unsigned seed = qEnvironmentVariableIsSet("ZOOMATCH_RANDOM_SEED")
                                  ? qEnvironmentVariable("ZOOMATCH_RANDOM_SEED").toUInt()
                                  : 20261208;
        const long long events = qEnvironmentVariableIsSet("ZOOMATCH_RANDOM_EVENTS")
                                     ? qEnvironmentVariable("ZOOMATCH_RANDOM_EVENTS").toLongLong()
                                     : 20000;
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
                    model.clickOption(group == 0 ? OptionGroup::Option1 : OptionGroup::Option2,
                                      index);
                    expected.clickOption(group, index);
                } else {
                    const int command = kind == 8 ? index % 4 : int(random() % 2);
                    model.clickCommand(command);
                    expected.clickCommand(command);
                    if (expected.output.ends_with(u"Вярно! Позна.\r\n \r\n"))
                        ++matches;
                }

                const auto where = [&](const char* what) {
                    return QStringLiteral("seed %1, game %2, step %3: %4")
                        .arg(seed)
                        .arg(game)
                        .arg(step)
                        .arg(QLatin1String(what));
                };
                for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k) {
                    for (int group : {0, 1}) {
                        const auto g = group == 0 ? OptionGroup::Option1 : OptionGroup::Option2;
                        if (model.caption(g, k) != expected.captions[group][k])
                            QFAIL(qPrintable(where("a caption differs")));
                        if (model.isSelected(g, k) != (expected.selected[group] == k))
                            QFAIL(qPrintable(where("a selection differs")));
                    }
                }
                if (model.quizRules().lastPick1() != expected.picks[0] ||
                    model.quizRules().lastPick2() != expected.picks[1])
                    QFAIL(qPrintable(where("the picks differ")));
                if (model.outputText() != expected.output)
                    QFAIL(qPrintable(where("the output text differs")));
            }
        }
        QVERIFY2(matches >= events / 200,
                 qPrintable(QStringLiteral("only %1 matches").arg(matches)));
    }
};

QTEST_GUILESS_MAIN(TestQuizRandom)
#include "tst_quizrandom.moc"
