// The window's behaviour (WindowBehaviour.h) played on the real window: a
// click goes to the window at the control's centre, where Qt finds the widget
// under it; a key goes to the focused widget, Shift+Tab as Backtab with Shift.
//   ZOOMATCH_RANDOM_EVENTS=100000 ZOOMATCH_RANDOM_SEED=7 tst_behaviour randomGame
#include "Accessibility.h"
#include "Application.h"
#include "MainForm.h"
#include "WindowBehaviour.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>

using behaviour::Input;
using behaviour::Key;
using quiz::OptionGroup;

namespace {

QString q(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text));
}

QString idOf(const window::Member& member) {
    return QString::fromStdString(window::controlId(member));
}

// The text of each notice as it was shown, which is when screen readers speak it.
QStringList announced;

// The first difference between the window and the step: the focus; each
// option's selection, caption shown and caption read back; the output as
// written and as the box shows it; what screen readers were told since the
// last look. Empty when there is none.
QString difference(const MainForm& form, const behaviour::Step& step) {
    QStringList seen, wanted;
    const auto add = [&](const QString& what, const QString& is, const QString& want) {
        seen << what + is;
        wanted << what + want;
    };
    const QWidget* focus = QApplication::focusWidget();
    add("focus ", focus ? focus->objectName() : QString(), idOf(step.focus));
    for (const OptionGroup group : {OptionGroup::Option1, OptionGroup::Option2})
        for (int row = 0; row < quiz::RowCount; ++row) {
            const bool science = group == OptionGroup::Option1;
            const QRadioButton* button = science ? form.Option1(row) : form.Option2(row);
            const std::u16string_view caption = behaviour::expectedCaption(step, group, row);
            add(button->objectName(),
                (button->isChecked() ? " * " : " ") + button->text() + " / " +
                    q(form.caption(group, static_cast<quiz::RowIndex>(row))),
                ((science ? step.science : step.subject) == row ? " * " : " ") +
                    q(window::withoutAccessKeys(caption)) + " / " + q(caption));
        }
    add("output ", q(form.outputText()), q(step.output));
    add("box ", form.findChild<QPlainTextEdit*>()->toPlainText(),
        q(step.output).replace("\r\n", "\n"));
    add("told ", QString::number(announced.size()) + ": " + announced.join(" | "),
        step.announced ? "1: " + q(*step.announced) : "0: ");
    announced.clear();
    const auto [got, want] = std::mismatch(seen.begin(), seen.end(), wanted.begin());
    return got == seen.end() ? QString() : *got + ", not " + *want;
}

// Plays the scenario on a fresh window; the first step that differs fails.
void play(const behaviour::Scenario& scenario) {
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    announced.clear();
    bool keypad = true; // Enter is the main keyboard's Return and the keypad's Enter in turn
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
        const Input& input = scenario.steps[i].input;
        if (input.kind == Input::Kind::Click) {
            const auto* control = form.findChild<QWidget*>(idOf(input.control));
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                              control->mapTo(&form, control->rect().center()));
        } else if (input.kind == Input::Kind::Key) {
            static constexpr Qt::Key keys[] = {Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Up,
                                               Qt::Key_Down,  Qt::Key_Left,    Qt::Key_Right,
                                               Qt::Key_Space, Qt::Key_Return,  Qt::Key_Escape};
            const bool pad = input.key == Key::Enter && (keypad = !keypad);
            QTest::keyClick(QApplication::focusWidget(),
                            pad ? Qt::Key_Enter : keys[static_cast<int>(input.key)],
                            pad                          ? Qt::KeypadModifier
                            : input.key == Key::ShiftTab ? Qt::ShiftModifier
                                                         : Qt::NoModifier);
        }
        if (i % 1000 == 999)
            QCoreApplication::processEvents();
        const QString wrong = difference(form, scenario.steps[i]);
        if (!wrong.isEmpty())
            QFAIL(qPrintable(QString::fromUtf8(scenario.name) + ", step " + QString::number(i) +
                             ": " + wrong));
    }
}

} // namespace

class TestBehaviour : public QObject {
    Q_OBJECT

    bool eventFilter(QObject* object, QEvent* event) override {
        if (auto* notice = qobject_cast<Announcement*>(object);
            notice && event->type() == QEvent::Show)
            announced << notice->accessibleName();
        return false;
    }

private slots:
    void initTestCase() {
        setUpApplication(*qApp);
        qApp->installEventFilter(this);
    }

    void scenarios() {
        for (const behaviour::Scenario& scenario : behaviour::scenarios())
            play(scenario);
    }

    void randomGame() {
        play(behaviour::randomGame(
            qEnvironmentVariable("ZOOMATCH_RANDOM_SEED", "20261208").toUInt(),
            qEnvironmentVariable("ZOOMATCH_RANDOM_EVENTS", "2000").toLongLong()));
    }
};

QTEST_MAIN(TestBehaviour)
#include "tst_behaviour.moc"
