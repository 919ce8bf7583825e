// What only the Linux window shows beyond the shared behaviour, at the density
// the run asks for (QT_SCALE_FACTOR 1, 1.25, 1.5 or 2 with ZOOMATCH_DPI 96,
// 120, 144 or 192): its fixed texts, size and font, every control's place and
// colour, captions that fit, a dark desktop theme changing nothing.
#include "Application.h"
#include "FormDefinition.h"
#include "MainForm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

#include <memory>

class TestMainForm : public QObject {
    Q_OBJECT

    std::unique_ptr<MainForm> form;
    int dpi = 96;

    QWidget* control(const std::string& id) const {
        return id == "MainForm" ? form.get()
                                : form->findChild<QWidget*>(QString::fromStdString(id));
    }

    void click(const char* id) {
        QTest::mouseClick(control(id), Qt::LeftButton, {}, control(id)->rect().center());
    }

    // The window and each control in device pixels, each edge within a pixel
    // of the definition's, and a picture of each at the screen's full resolution.
    void verifyPlaces() {
        const auto verify = [this](QWidget* widget, const window::PixelRect& want) {
            const qreal scale = form->devicePixelRatio();
            const QRectF seen(QPointF(widget->mapTo(form.get(), QPoint())) * scale,
                              QSizeF(widget->size()) * scale);
            const QRectF wanted(want.left, want.top, want.width, want.height);
            QVERIFY2(seen.adjusted(-1, -1, 1, 1).contains(wanted) &&
                         wanted.adjusted(-1, -1, 1, 1).contains(seen),
                     qPrintable(widget->objectName() + " at " + QDebug::toString(seen)));
            QCOMPARE(widget->grab().size(), seen.size().toSize());
        };
        QCOMPARE(form->grab().devicePixelRatio(), form->devicePixelRatio());
        verify(form.get(), window::clientRect(dpi));
        for (const window::ControlDef& def : window::controlDefinitions())
            verify(control(window::controlId(def.member)), window::windowRect(def, dpi));
    }

    static void verifyFits(const QWidget* widget, const QString& text, QRect room) {
        const QSize needs(widget->fontMetrics().horizontalAdvance(text),
                          widget->fontMetrics().height());
        QVERIFY2(needs.width() < room.width() && needs.height() <= room.height(),
                 qPrintable(text + QDebug::toString(needs) + QDebug::toString(room)));
    }

private slots:
    void initTestCase() {
        setUpApplication(*qApp);
        dpi = qEnvironmentVariableIntValue("ZOOMATCH_DPI");
        QVERIFY(dpi > 0);
    }

    void init() {
        form = std::make_unique<MainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(qRound(form->devicePixelRatio() * 96), dpi);
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
        for (const auto& [id, text] : {std::pair{"Label1-0", "Биология - науки за животните"},
                                       {"Frame1-0", "Митичен герой"},
                                       {"Frame1-16", "Свързан с"},
                                       {"Command1-0", "Изведи"},
                                       {"Command1-1", "Чисти"}})
            QCOMPARE(
                control(id)->property(qobject_cast<QGroupBox*>(control(id)) ? "title" : "text"),
                QString::fromUtf8(text));
        QCOMPARE(form->findChild<QLabel*>()->alignment(), Qt::AlignCenter);
        QCOMPARE(form->accessibleDescription(), QStringLiteral("Биология - науки за животните"));
        QVERIFY(!form->Command1(0)->isDefault() && !form->Command1(1)->isDefault());
    }

    void everyControlInItsPlaceInEveryState() {
        verifyPlaces();
        // A right pair blanks two captions, a clear brings them back: nothing moves.
        for (const char* id : {"Option1-4", "Option2-4", "Command1-0"})
            click(id);
        QCOMPARE(form->Option2(4)->text(), QString());
        verifyPlaces();
        click("Command1-1");
        QVERIFY(!form->Option2(4)->text().isEmpty());
        verifyPlaces();
    }

    void everyCaptionFits() {
        for (auto* button : form->findChildren<QAbstractButton*>()) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const auto room = qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                  : QStyle::SE_PushButtonContents;
            verifyFits(button, button->text(),
                       button->style()->subElementRect(room, &option, button));
        }
        const auto* label = form->findChild<QLabel*>();
        verifyFits(label, label->text(), label->contentsRect());
        for (auto* frame : form->findChildren<QGroupBox*>()) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            QVERIFY(frame->rect().contains(title));
            verifyFits(frame, frame->title(), title.adjusted(0, 0, 1, 0));
            // The title, centred in its room, ends above the first button.
            const int textBottom =
                title.top() + (title.height() + frame->fontMetrics().height()) / 2;
            for (auto* button : frame->findChildren<QRadioButton*>())
                QVERIFY(textBottom <= button->y());
        }
    }

    void controlsShowTheirColours() {
        // A spot in each control, clear of text and frame lines.
        const struct {
            const char* id;
            QPoint spot;
            QRgb colour;
        } painted[] = {{"MainForm", {3, 3}, 0xC0C0FF},     {"Label1-0", {4, 4}, 0xFFC080},
                       {"Frame1-0", {157, 4}, 0xC0C0FF},   {"Frame1-16", {261, 4}, 0xC0C0FF},
                       {"Option1-0", {140, 10}, 0xC0FFC0}, {"Option2-3", {244, 10}, 0xFFC0FF},
                       {"Command1-1", {8, 12}, 0xFF8080},  {"Command1-0", {8, 12}, 0xC0FFC0}};
        const QImage picture = form->grab().toImage();
        for (const auto& [id, spot, colour] : painted) {
            const QWidget* widget = control(id);
            const QPointF at = QPointF(widget->mapTo(form.get(), spot)) * form->devicePixelRatio();
            QCOMPARE(picture.pixelColor(at.toPoint()).name(), QColor(colour).name());
            QCOMPARE(widget->palette().color(widget->foregroundRole()),
                     QColor::fromRgb(window::windowDefinition().textColour));
        }
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
        // The output box hands back exactly what it was given, line ends
        // included, and typing into it changes nothing.
        const std::u16string text = u"a\r\nb\rc\n\r\n";
        form->setOutputText(text);
        QTest::keyClicks(control("Text1-0"), QStringLiteral("az"));
        QCOMPARE(form->outputText(), text);
        // A caption is shown as it stands: an '&' is no access key.
        form->setCaption(quiz::OptionGroup::Option1, 0, u"A & B");
        QCOMPARE(form->caption(quiz::OptionGroup::Option1, 0), std::u16string(u"A & B"));
        QCOMPARE(form->Option1(0)->shortcut(), QKeySequence());
    }

    // Last, as it changes the application's palette.
    void darkDesktopThemeChangesNothing() {
        const QImage usual = MainForm().grab().toImage();
        // As a dark platform theme would set it before the program starts.
        QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20)));
        setUpApplication(*qApp);
        MainForm dark;
        QCOMPARE(dark.grab().toImage(), usual);
        QCOMPARE(dark.Option1(0)->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(dark.findChild<QPlainTextEdit*>()->palette().color(QPalette::Base),
                 QColor(Qt::white));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
