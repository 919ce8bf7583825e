// Whole games against the in-memory model of the window's controls.
#include "ControlsModel.h"

#include <QTest>

#include <climits>

using quiz::ControlsModel;
using quiz::OptionGroup;
using quiz::QuizTable;

namespace {

constexpr auto Science = OptionGroup::Option1;
constexpr auto Subject = OptionGroup::Option2;
constexpr int Check = 0;
constexpr int Clear = 1;

QString q(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text));
}

QString matched(std::u16string_view science, std::u16string_view subject) {
    return q(science) + QStringLiteral(" е наука за ") + q(subject) +
           QStringLiteral("\r\nВярно! Позна.\r\n \r\n");
}

// Everything a learner or the rules can see, for comparing whole states.
QStringList snapshot(const ControlsModel& model) {
    QStringList state;
    for (OptionGroup group : {Science, Subject})
        for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k)
            state << q(model.caption(group, k)) + (model.isSelected(group, k) ? "*" : "");
    state << QString::number(model.quizRules().lastPick1())
          << QString::number(model.quizRules().lastPick2()) << q(model.outputText());
    return state;
}

} // namespace

class TestQuizGame : public QObject {
    Q_OBJECT

    ControlsModel model;

    void verifyFullBoard() {
        for (quiz::RowIndex k = 0; k < quiz::RowCount; ++k) {
            QCOMPARE(q(model.caption(Science, k)), q(QuizTable::science(k)));
            QCOMPARE(q(model.caption(Subject, k)), q(QuizTable::subject(k)));
            QVERIFY(!model.isSelected(Science, k) && !model.isSelected(Subject, k));
        }
        QCOMPARE(model.quizRules().lastPick1(), -5);
        QCOMPARE(model.quizRules().lastPick2(), -15);
    }

private slots:
    void init() { model.Form_Load(); }

    void startsWithTheIntroductionAndAFullBoard() {
        ControlsModel created;
        QCOMPARE(q(created.outputText()), q(QuizTable::introduction()));
        created.Form_Load();
        QCOMPARE(q(created.outputText()), q(QuizTable::introduction()));
        model.clickCommand(Clear);
        verifyFullBoard();
    }

    void everyCorrectPair_data() {
        QTest::addColumn<int>("row");
        for (int k = 0; k < quiz::RowCount; ++k)
            QTest::addRow("%d", k) << k;
    }

    void everyCorrectPair() {
        QFETCH(int, row);
        const QStringList before = snapshot(model);
        model.clickOption(Science, row);
        model.clickOption(Subject, row);
        QVERIFY(model.isSelected(Science, row) && model.isSelected(Subject, row));
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), matched(QuizTable::science(row), QuizTable::subject(row)));
        QCOMPARE(model.quizRules().lastPick1(), row);
        QCOMPARE(model.quizRules().lastPick2(), row);
        // Only the matched row is blanked and deselected.
        const QStringList after = snapshot(model);
        for (int i = 0; i < 2 * quiz::RowCount; ++i)
            QCOMPARE(after[i], i % quiz::RowCount == row ? QString() : before[i]);
        model.clickCommand(Clear);
    }

    void wrongPairKeepsBothPicks() {
        model.clickOption(Science, 2);
        model.clickOption(Subject, 7);
        const QString introduction = q(model.outputText());
        QCOMPARE(q(model.outputText()), introduction); // clicks write nothing
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
        QVERIFY(model.isSelected(Science, 2) && model.isSelected(Subject, 7));
        QCOMPARE(model.quizRules().lastPick1(), 2);
        QCOMPARE(model.quizRules().lastPick2(), 7);
        model.clickOption(Subject, 2);
        QVERIFY(!model.isSelected(Subject, 7));
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), matched(u"ентомология", u"насекоми"));
    }

    void checkBeforeBothGroupsIsWrong() {
        model.clickCommand(Check); // right after set-up
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
        model.clickOption(Science, 0);
        model.clickCommand(Check); // one group only
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
        model.clickCommand(Clear);
        model.clickOption(Subject, 0);
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
        model.clickCommand(Clear);
        model.clickCommand(Check); // right after a clear
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
    }

    void blankedButtonsStillMatch() {
        model.clickOption(Science, 5);
        model.clickOption(Subject, 5);
        model.clickCommand(Check);
        // A second check with no click matches again, with the blanked captions.
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), QStringLiteral(" е наука за \r\nВярно! Позна.\r\n \r\n"));
        // Blanked buttons take clicks like any other, and still match.
        model.clickOption(Science, 6);
        model.clickOption(Subject, 5);
        QVERIFY(model.isSelected(Subject, 5));
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
        model.clickOption(Science, 5);
        model.clickCommand(Check);
        QCOMPARE(q(model.outputText()), QStringLiteral(" е наука за \r\nВярно! Позна.\r\n \r\n"));
        QVERIFY(!model.isSelected(Science, 5) && !model.isSelected(Subject, 5));
    }

    void clearRestoresEverything() {
        for (int k : {9, 0, 4, 7}) {
            model.clickOption(Science, k);
            model.clickOption(Subject, k);
            model.clickCommand(Check);
        }
        model.clickOption(Science, 1);
        model.clickOption(Subject, 3);
        model.clickCommand(Clear);
        QCOMPARE(q(model.outputText()), QStringLiteral("Направете своя избор!"));
        verifyFullBoard();
    }

    void badInputChangesNothing() {
        model.clickOption(Science, 3);
        model.clickOption(Subject, 8);
        const QStringList before = snapshot(model);
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
            QVERIFY(model.caption(Science, static_cast<quiz::RowIndex>(row)).empty());
        }
        QCOMPARE(snapshot(model), before);

        // The rules themselves refuse rows that name no button.
        quiz::QuizRules rules(model);
        rules.ResetBoard();
        for (quiz::RowIndex row : {-1, 10, -5, -15, 32767}) {
            rules.Option1_Click(row);
            rules.Option2_Click(row);
        }
        rules.Command1_Click(0);
        QCOMPARE(rules.lastPick1(), -5);
        QCOMPARE(rules.lastPick2(), -15);
        QCOMPARE(q(model.outputText()), QStringLiteral("Грешен отговор.\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestQuizGame)
#include "tst_quizgame.moc"
