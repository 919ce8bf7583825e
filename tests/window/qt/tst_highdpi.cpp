// The window on a screen of any density: run once as it is and once with
// QT_SCALE_FACTOR=2 (and ZOOMATCH_EXPECTED_SCALE=2). Every control keeps its place in proportion,
// the rendering has the screen's full resolution, and every caption fits.
#include "Application.h"
#include "MainForm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

class TestHighDpi : public QObject {
    Q_OBJECT

    MainForm* form = nullptr;
    qreal scale = 1;

    // The room the style leaves for a button's caption.
    static QRect captionRoom(QAbstractButton* button, QStyle::SubElement element) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()->subElementRect(element, &option, button);
    }

    static void verifyFits(const QString& text, const QFontMetrics& metrics, QRect room) {
        QVERIFY2(metrics.horizontalAdvance(text) < room.width() &&
                     metrics.height() <= room.height(),
                 qPrintable(QStringLiteral("\"%1\" needs %2x%3 pixels, has %4x%5")
                                .arg(text)
                                .arg(metrics.horizontalAdvance(text))
                                .arg(metrics.height())
                                .arg(room.width())
                                .arg(room.height())));
    }

private slots:
    void initTestCase() {
        setUpApplication(*qApp);
        // The scale the run asks for is named apart from QT_SCALE_FACTOR, so
        // that a run whose setting never reached Qt fails instead of passing
        // at 1x (Wine, for one, drops QT_* variables on the way).
        scale = qEnvironmentVariableIsSet("ZOOMATCH_EXPECTED_SCALE")
                    ? qEnvironmentVariable("ZOOMATCH_EXPECTED_SCALE").toDouble()
                    : 1.0;
        form = new MainForm;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(form->devicePixelRatio(), scale);
    }

    void cleanupTestCase() { delete form; }

    void windowScalesAsAWhole() {
        QCOMPARE(form->devicePixelRatio(), scale);
        QCOMPARE(form->size(), QSize(461, 415));
        const QPixmap picture = form->grab();
        QCOMPARE(picture.devicePixelRatio(), scale);
        QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(461, 415));
        QCOMPARE(picture.size(), QSize(qRound(461 * scale), qRound(415 * scale)));
        for (QWidget* control :
             form->findChildren<QWidget*>(QRegularExpression("^\\w+\\(\\d+\\)$"))) {
            // Each control covers the same share of the window at every scale.
            const QRect onScreen(control->mapTo(form, QPoint(0, 0)), control->size());
            QVERIFY2(form->rect().contains(onScreen), qPrintable(control->objectName()));
            QCOMPARE(control->grab().size(), control->size() * scale);
        }
    }

    void everyCaptionFits() {
        for (int k = 0; k < 10; ++k)
            for (QRadioButton* button : {form->Option1(k), form->Option2(k)})
                verifyFits(button->text(), button->fontMetrics(),
                           captionRoom(button, QStyle::SE_RadioButtonContents));
        for (int i : {0, 1}) {
            QPushButton* button = form->Command1(i);
            verifyFits(button->text(), button->fontMetrics(),
                       captionRoom(button, QStyle::SE_PushButtonContents));
        }
        verifyFits(form->Label1()->text(), form->Label1()->fontMetrics(),
                   form->Label1()->contentsRect());
        for (int i : {0, 16}) {
            QGroupBox* frame = form->Frame1(i);
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            QVERIFY(frame->rect().contains(title));
            verifyFits(frame->title(), frame->fontMetrics(), title.adjusted(0, 0, 1, 0));
            // The title, centred in its room, ends above the first button.
            const int textBottom =
                title.top() + (title.height() + frame->fontMetrics().height()) / 2;
            QVERIFY(textBottom <= form->Option1(0)->y());
        }
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
