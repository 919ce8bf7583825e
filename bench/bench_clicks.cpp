// How long a correct check and a clear take through the real widgets, with
// the painting of everything each click changed, as the event loop does
// between a learner's clicks.
#include "Application.h"
#include "MainForm.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class BenchClicks : public QObject {
    Q_OBJECT

    static void click(QWidget* widget) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        QCoreApplication::processEvents(); // paints what the click changed
    }

    static void check(MainForm& form, int row) {
        click(form.Option1(row));
        click(form.Option2(row));
        click(form.Command1(0));
    }

    static bool checkedRight(const MainForm& form) {
        return form.outputText().find(u"Вярно! Позна.") != std::u16string::npos;
    }

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    // Each iteration matches the next pair of the board. A matched pair reads
    // as blanks and costs less to match again, so the board is cleared for a
    // new game after every tenth match: "correct check" is one check and a
    // tenth of a clear. "check then clear" clears after every match, so that
    // each clear has a pair to bring back, as the learner's do (a clear of a
    // board already clear changes next to nothing); a clear alone is that
    // figure less the first.
    void clicks_data() {
        QTest::addColumn<int>("checksPerClear");
        QTest::newRow("correct check") << int(quiz::RowCount);
        QTest::newRow("check then clear") << 1;
    }

    void clicks() {
        QFETCH(int, checksPerClear);
        MainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int row = 0;
        int checks = 0;
        QBENCHMARK {
            check(form, row);
            row = (row + 1) % quiz::RowCount;
            if (++checks % checksPerClear == 0)
                click(form.Command1(1));
        }
        click(form.Command1(1));
        check(form, 0);
        QVERIFY(checkedRight(form));
        click(form.Command1(1));
        QCOMPARE(form.outputText(), std::u16string(u"Направете своя избор!"));
    }
};

QTEST_MAIN(BenchClicks)
#include "bench_clicks.moc"
