// The real window, driven by real mouse clicks and key presses on the
// offscreen platform, with the style the program sets for itself.
#include "Accessibility.h"
#include "Application.h"
#include "FormDefinition.h"
#include "MainForm.h"
#include "QuizTable.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using quiz::OptionGroup;
using quiz::QuizTable;

namespace {

QString q(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text));
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// The subject buttons from top to bottom as the learner sees them.
QList<int> subjectColumn(const MainForm& form) {
    QList<std::pair<int, int>> byTop;
    for (int k = 0; k < quiz::RowCount; ++k)
        byTop.append({form.Option2(k)->y(), k});
    std::sort(byTop.begin(), byTop.end());
    QList<int> rows;
    for (const auto& [top, k] : byTop)
        rows.append(k);
    return rows;
}

const QList<int> alphabeticalSubjects{6, 7, 0, 1, 9, 2, 5, 3, 8, 4};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

    std::unique_ptr<MainForm> form;

    void verifyFullBoard() {
        for (int k = 0; k < quiz::RowCount; ++k) {
            QCOMPARE(form->Option1(k)->text(), q(QuizTable::science(k)));
            QCOMPARE(form->Option2(k)->text(), q(QuizTable::subject(k)));
            QVERIFY(!form->Option1(k)->isChecked());
            QVERIFY(!form->Option2(k)->isChecked());
        }
    }

    void checkPair(int science, int subject) {
        click(form->Option1(science));
        click(form->Option2(subject));
        click(form->Command1(0));
    }

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void init() {
        form = std::make_unique<MainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup() { form.reset(); }

    void startsWithTheIntroductionAndAFullBoard() {
        QCOMPARE(q(form->outputText()), q(QuizTable::introduction()));
        QCOMPARE(
            form->Text1()->toPlainText(),
            q(QuizTable::introduction()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        verifyFullBoard();
        QCOMPARE(form->quizRules().lastPick1(), quiz::QuizRules::NoPick1);
        QCOMPARE(form->quizRules().lastPick2(), quiz::QuizRules::NoPick2);
        QCOMPARE(QApplication::focusWidget(), form->Text1());
        QCOMPARE(form->windowTitle(), QStringLiteral("www.example.org Биология - наука и обхват"));
        QCOMPARE(form->Label1()->text(), QStringLiteral("Биология - науки за животните"));
        QCOMPARE(form->accessibleDescription(), form->Label1()->text());
        QCOMPARE(form->Frame1(0)->title(), QStringLiteral("Митичен герой"));
        QCOMPARE(form->Frame1(16)->title(), QStringLiteral("Свързан с"));
        QCOMPARE(form->Command1(0)->text(), QStringLiteral("Изведи"));
        QCOMPARE(form->Command1(1)->text(), QStringLiteral("Чисти"));
        QCOMPARE(form->minimumSize(), QSize(461, 415));
        QCOMPARE(form->maximumSize(), QSize(461, 415));
        QVERIFY(
            !(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form->font().pointSize(), 12);
        QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.0.0.0"));
        // Tab leaves the output box for the first science.
        QTest::keyClick(form->Text1(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->Option1(0));
        QCOMPARE(form->Text1()->toPlainText().size(), 768);
    }

    void controlsStandWhereDefined_data() {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QRect>("twips");
        for (const window::ControlDef& def : window::controlDefinitions()) {
            const QString member = QStringLiteral("%1(%2)")
                                       .arg(QString::fromUtf8(def.member.name))
                                       .arg(def.member.index);
            QTest::newRow(qPrintable(member))
                << member << QRect(def.left, def.top, def.width, def.height);
        }
    }

    void controlsStandWhereDefined() {
        QFETCH(QString, member);
        QFETCH(QRect, twips);
        auto* widget = form->findChild<QWidget*>(member);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    }

    void subjectColumnKeepsItsOrder() {
        QCOMPARE(subjectColumn(*form), alphabeticalSubjects);
        for (int k : {0, 4, 9})
            checkPair(k, k);
        QCOMPARE(form->Option2(4)->text(), QString());
        QCOMPARE(subjectColumn(*form), alphabeticalSubjects);
        click(form->Command1(1));
        QCOMPARE(subjectColumn(*form), alphabeticalSubjects);
        // After a clear the column reads alphabetically again, top to bottom.
        QStringList captions;
        for (int k : subjectColumn(*form))
            captions << form->Option2(k)->text();
        QCOMPARE(captions,
                 QStringList({"бозайници", "влечуги", "вътрешен строеж на организми", "земноводни",
                              "клетки на животинско тяло", "насекоми", "птици", "риби",
                              "тъкани на животинско тяло", "форми и устройство на животни"}));
    }

    void controlsShowTheirColours_data() {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QPoint>("spot"); // inside the control, clear of text and frame lines
        QTest::addColumn<QColor>("colour");
        QTest::newRow("window") << QString() << QPoint(3, 3) << QColor(0xC0C0FF);
        QTest::newRow("label") << "Label1(0)" << QPoint(4, 4) << QColor(0xFFC080);
        QTest::newRow("science frame") << "Frame1(0)" << QPoint(157, 4) << QColor(0xC0C0FF);
        QTest::newRow("subject frame") << "Frame1(16)" << QPoint(261, 4) << QColor(0xC0C0FF);
        QTest::newRow("science button") << "Option1(0)" << QPoint(140, 10) << QColor(0xC0FFC0);
        QTest::newRow("subject button") << "Option2(3)" << QPoint(244, 10) << QColor(0xFFC0FF);
        QTest::newRow("clear button") << "Command1(1)" << QPoint(8, 12) << QColor(0xFF8080);
        QTest::newRow("check button") << "Command1(0)" << QPoint(8, 12) << QColor(0xC0FFC0);
    }

    void controlsShowTheirColours() {
        QFETCH(QString, member);
        QFETCH(QPoint, spot);
        QFETCH(QColor, colour);
        QWidget* widget = member.isEmpty() ? form.get() : form->findChild<QWidget*>(member);
        QVERIFY(widget);
        const QColor seen = form->grab().toImage().pixelColor(widget->mapTo(form.get(), spot));
        QCOMPARE(seen.name(), colour.name());
    }

    void darkDesktopThemeChangesNothing() {
        const QImage usual = MainForm().grab().toImage();
        // As a dark platform theme would set it before the program starts.
        QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20)));
        setUpApplication(*qApp);
        MainForm dark;
        QCOMPARE(dark.grab().toImage(), usual);
        QCOMPARE(dark.Option1(0)->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(dark.Text1()->palette().color(QPalette::Base), QColor(Qt::white));
    }

    void wholeGameWithTheMouse() {
        click(form->Command1(0));
        QCOMPARE(q(form->outputText()), QStringLiteral("Грешен отговор.\r\n"));

        // A wrong pair keeps both picks; the right subject then matches.
        click(form->Option1(3));
        click(form->Option2(5));
        click(form->Command1(0));
        QCOMPARE(q(form->outputText()), QStringLiteral("Грешен отговор.\r\n"));
        QVERIFY(form->Option1(3)->isChecked() && form->Option2(5)->isChecked());
        click(form->Option2(3));
        QVERIFY(!form->Option2(5)->isChecked());
        QVERIFY(form->Option1(3)->isChecked());
        click(form->Command1(0));
        QCOMPARE(q(form->outputText()),
                 QStringLiteral("ихтиология е наука за риби\r\nВярно! Позна.\r\n \r\n"));
        QCOMPARE(form->Text1()->toPlainText(),
                 QStringLiteral("ихтиология е наука за риби\nВярно! Позна.\n \n"));
        QCOMPARE(form->Option1(3)->text(), QString());
        QCOMPARE(form->Option2(3)->text(), QString());
        QVERIFY(!form->Option1(3)->isChecked() && !form->Option2(3)->isChecked());

        for (int k = 0; k < quiz::RowCount; ++k) {
            if (k == 3)
                continue;
            checkPair(k, k);
            QCOMPARE(q(form->outputText()),
                     q(QuizTable::science(k)) + QStringLiteral(" е наука за ") +
                         q(QuizTable::subject(k)) + QStringLiteral("\r\nВярно! Позна.\r\n \r\n"));
        }

        // Blanked buttons still take a click and still match.
        checkPair(7, 7);
        QCOMPARE(q(form->outputText()), QStringLiteral(" е наука за \r\nВярно! Позна.\r\n \r\n"));
        click(form->Option1(2));
        QVERIFY(form->Option1(2)->isChecked());
        QCOMPARE(form->quizRules().lastPick1(), 2);
        QCOMPARE(q(form->outputText()), QStringLiteral(" е наука за \r\nВярно! Позна.\r\n \r\n"));

        click(form->Command1(1));
        QCOMPARE(q(form->outputText()), QStringLiteral("Направете своя избор!"));
        QCOMPARE(form->Text1()->toPlainText(), QStringLiteral("Направете своя избор!"));
        verifyFullBoard();
    }

    void keyboardPicksWithinOneGroup() {
        click(form->Option1(2));
        QTest::keyClick(form->Option1(2), Qt::Key_Down);
        QVERIFY(form->Option1(3)->isChecked() && !form->Option1(2)->isChecked());
        QCOMPARE(form->quizRules().lastPick1(), 3);

        // Down in the subject column follows the screen, not the row numbers.
        click(form->Option2(6));
        QTest::keyClick(form->Option2(6), Qt::Key_Down);
        QVERIFY(form->Option2(7)->isChecked());
        QTest::keyClick(form->Option2(7), Qt::Key_Down);
        QVERIFY(form->Option2(0)->isChecked());
        QCOMPARE(form->quizRules().lastPick2(), 0);
        QVERIFY(form->Option1(3)->isChecked()); // the other frame keeps its pick
        QTest::keyClick(form->Option2(0), Qt::Key_Up);
        QTest::keyClick(form->Option2(7), Qt::Key_Up);
        QCOMPARE(form->quizRules().lastPick2(), 6);

        // Space picks the focused button.
        form->Option2(3)->setFocus();
        QTest::keyClick(form->Option2(3), Qt::Key_Space);
        QVERIFY(form->Option2(3)->isChecked() && !form->Option2(6)->isChecked());
        QCOMPARE(form->quizRules().lastPick2(), 3);
        form->Command1(0)->setFocus();
        QTest::keyClick(form->Command1(0), Qt::Key_Space);
        QCOMPARE(q(form->outputText()),
                 QStringLiteral("ихтиология е наука за риби\r\nВярно! Позна.\r\n \r\n"));
    }

    void returnAndEnterPressOnlyAFocusedButton() {
        checkPair(1, 1);
        // Each command is announced once it is done, without the blank comment line.
        auto* announcement = form->findChild<Announcement*>();
        QVERIFY(announcement && announcement->isVisible());
        QCOMPARE(announcement->accessibleName(),
                 QStringLiteral("батрахология е наука за земноводни\nВярно! Позна."));
        const std::u16string before = form->outputText();
        click(form->Option1(4));
        for (QWidget* widget :
             {static_cast<QWidget*>(form->Option1(4)), static_cast<QWidget*>(form->Text1()),
              static_cast<QWidget*>(form->Command1(0)), static_cast<QWidget*>(form->Command1(1))}) {
            widget->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                if (!qobject_cast<QPushButton*>(widget) || key == Qt::Key_Escape)
                    QTest::keyClick(widget, key);
        }
        QCOMPARE(q(form->outputText()), q(before));
        QVERIFY(form->Option1(4)->isChecked());

        // On a focused push button they press it, as Space does, and it looks
        // no different for being the button that they press.
        QPushButton* check = form->Command1(0);
        check->setFocus(Qt::TabFocusReason);
        const QImage pressable = check->grab().toImage();
        QTest::keyClick(check, Qt::Key_Return);
        QCOMPARE(q(form->outputText()), QStringLiteral("Грешен отговор.\r\n"));
        QCOMPARE(announcement->accessibleName(), QStringLiteral("Грешен отговор."));
        QVERIFY(!form->Command1(1)->isDefault());
        form->Command1(1)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form->Command1(1), Qt::Key_Enter);
        QCOMPARE(q(form->outputText()), QStringLiteral("Направете своя избор!"));
        QCOMPARE(announcement->accessibleName(), QStringLiteral("Направете своя избор!"));
        check->setFocus(Qt::TabFocusReason);
        check->setAutoDefault(false);
        check->setDefault(false);
        QCOMPARE(check->grab().toImage(), pressable);
    }

    void controlsKeepTextsExactly() {
        // The output box hands back exactly what it was given, line ends included.
        const std::u16string text = u"a\r\nb\rc\n\r\n";
        form->setOutputText(text);
        QCOMPARE(q(form->outputText()), q(text));
        // A caption is shown as it stands: an '&' is no access key.
        form->setCaption(OptionGroup::Option1, 0, u"A & B");
        QCOMPARE(q(form->caption(OptionGroup::Option1, 0)), QStringLiteral("A & B"));
        QCOMPARE(form->Option1(0)->shortcut(), QKeySequence());
        // Rows that name no button are never touched.
        form->setCaption(OptionGroup::Option2, 10, u"x");
        form->deselect(OptionGroup::Option2, -1);
        QCOMPARE(q(form->caption(OptionGroup::Option2, 10)), QString());
        QVERIFY(!form->isSelected(OptionGroup::Option2, -1));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
