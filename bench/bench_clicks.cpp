// How long one correct check and one clear take through the real widgets,
// with the painting of everything the clicks changed.
#include "Application.h"
#include "MainForm.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class BenchClicks : public QObject {
    Q_OBJECT

    static void click(QWidget* widget) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void correctCheck() {
        MainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int k = 0;
        QBENCHMARK {
            click(form.Option1(k));
            click(form.Option2(k));
            click(form.Command1(0));
            QCoreApplication::processEvents(); // paints what the click changed
            k = (k + 1) % 10;
        }
        QVERIFY(form.outputText().ends_with(u"Вярно! Позна.\r\n \r\n"));
    }

    void clear() {
        MainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QBENCHMARK {
            click(form.Command1(1));
            QCoreApplication::processEvents(); // paints what the click changed
        }
        QCOMPARE(form.outputText(), std::u16string(u"Направете своя избор!"));
    }
};

QTEST_MAIN(BenchClicks)
#include "bench_clicks.moc"
