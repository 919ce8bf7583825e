// What only the Linux window shows beyond the shared behaviour: its title,
// fixed size, font and version, the captions that no click changes, its
// colours as painted, the same look under a dark desktop theme, and texts
// kept exactly.
#include "Application.h"
#include "FormDefinition.h"
#include "MainForm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using quiz::OptionGroup;

class TestMainForm : public QObject {
    Q_OBJECT

    std::unique_ptr<MainForm> form;

    QWidget* control(const char* id) const { return form->findChild<QWidget*>(id); }

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void init() {
        form = std::make_unique<MainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup() { form.reset(); }

    void windowAsDefined() {
        QCOMPARE(form->windowTitle(), QStringLiteral("www.example.org Биология - наука и обхват"));
        QCOMPARE(form->minimumSize(), QSize(461, 415));
        QCOMPARE(form->maximumSize(), QSize(461, 415));
        QVERIFY(
            !(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form->font().pointSize(), 12);
        QCOMPARE(form->font().families().first(), QStringLiteral("Times New Roman"));
        QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.0.0.0"));
        const auto* label = static_cast<QLabel*>(control("Label1-0"));
        QCOMPARE(label->text(), QStringLiteral("Биология - науки за животните"));
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QCOMPARE(form->accessibleDescription(), label->text());
        QCOMPARE(static_cast<QGroupBox*>(control("Frame1-0"))->title(),
                 QStringLiteral("Митичен герой"));
        QCOMPARE(static_cast<QGroupBox*>(control("Frame1-16"))->title(),
                 QStringLiteral("Свързан с"));
        QCOMPARE(form->Command1(0)->text(), QStringLiteral("Изведи"));
        QCOMPARE(form->Command1(1)->text(), QStringLiteral("Чисти"));
        QVERIFY(!form->Command1(0)->isDefault() && !form->Command1(1)->isDefault());
    }

    void controlsShowTheirColours_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QPoint>("spot"); // inside the control, clear of text and frame lines
        QTest::addColumn<QColor>("colour");
        QTest::newRow("window") << "MainForm" << QPoint(3, 3) << QColor(0xC0C0FF);
        QTest::newRow("label") << "Label1-0" << QPoint(4, 4) << QColor(0xFFC080);
        QTest::newRow("science frame") << "Frame1-0" << QPoint(157, 4) << QColor(0xC0C0FF);
        QTest::newRow("subject frame") << "Frame1-16" << QPoint(261, 4) << QColor(0xC0C0FF);
        QTest::newRow("science button") << "Option1-0" << QPoint(140, 10) << QColor(0xC0FFC0);
        QTest::newRow("subject button") << "Option2-3" << QPoint(244, 10) << QColor(0xFFC0FF);
        QTest::newRow("clear button") << "Command1-1" << QPoint(8, 12) << QColor(0xFF8080);
        QTest::newRow("check button") << "Command1-0" << QPoint(8, 12) << QColor(0xC0FFC0);
    }

    void controlsShowTheirColours() {
        QFETCH(QString, id);
        QFETCH(QPoint, spot);
        QFETCH(QColor, colour);
        QWidget* widget =
            id == QLatin1String("MainForm") ? form.get() : form->findChild<QWidget*>(id);
        QVERIFY(widget);
        const QColor seen = form->grab().toImage().pixelColor(widget->mapTo(form.get(), spot));
        QCOMPARE(seen.name(), colour.name());
        const QColor text = QColor::fromRgb(window::windowDefinition().textColour);
        QCOMPARE(widget->palette().color(widget->foregroundRole()), text);
    }

    void darkDesktopThemeChangesNothing() {
        const QImage usual = MainForm().grab().toImage();
        // As a dark platform theme would set it before the program starts.
        QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20)));
        setUpApplication(*qApp);
        MainForm dark;
        QCOMPARE(dark.grab().toImage(), usual);
        QCOMPARE(dark.Option1(0)->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(static_cast<QPlainTextEdit*>(dark.findChild<QWidget*>("Text1-0"))
                     ->palette()
                     .color(QPalette::Base),
                 QColor(Qt::white));
    }

    void focusedButtonLooksNoDifferentForEnter() {
        // Enter presses a focused push button as Space does, and the button
        // looks no different for being the one that it presses.
        QPushButton* check = form->Command1(0);
        check->setFocus(Qt::TabFocusReason);
        const QImage pressable = check->grab().toImage();
        check->setAutoDefault(false);
        QCOMPARE(check->grab().toImage(), pressable);
    }

    void clicksBesideTheButtonsChangeNothing() {
        // The label, a frame's title and the window's own background.
        for (const QPoint point : {QPoint(150, 10), QPoint(60, 40), QPoint(300, 270)})
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, point);
        QCOMPARE(form->outputText().substr(0, 12), std::u16string(u"Биологията е"));
        for (int k = 0; k < quiz::RowCount; ++k)
            QVERIFY(!form->Option1(k)->isChecked() && !form->Option2(k)->isChecked());
    }

    void textsKeptExactly() {
        // The output box hands back exactly what it was given, line ends included.
        const std::u16string text = u"a\r\nb\rc\n\r\n";
        form->setOutputText(text);
        QCOMPARE(form->outputText(), text);
        // Typing into the box changes nothing.
        QTest::keyClicks(control("Text1-0"), QStringLiteral("az"));
        QCOMPARE(form->outputText(), text);
        // A caption is shown as it stands: an '&' is no access key.
        form->setCaption(OptionGroup::Option1, 0, u"A & B");
        QCOMPARE(form->caption(OptionGroup::Option1, 0), std::u16string(u"A & B"));
        QCOMPARE(form->Option1(0)->shortcut(), QKeySequence());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
