// The window's behaviour (WindowBehaviour.h) played on the real window through
// real input: each scenario on a fresh window, then a random game as a soak.
// A click goes to the window at the control's centre, where Qt finds the
// widget under it; a key goes to the widget that has the focus, Shift+Tab as
// Backtab with Shift held, as Qt delivers them. After every step the focus,
// the twenty options, the output and what screen readers were told are
// compared with the step.
//   ZOOMATCH_RANDOM_EVENTS=100000 ZOOMATCH_RANDOM_SEED=7 tst_behaviour randomGame
#include "Accessibility.h"
#include "Application.h"
#include "MainForm.h"
#include "WindowBehaviour.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <map>

using behaviour::Key;
using behaviour::Step;
using quiz::OptionGroup;

namespace {

QString q(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text));
}

// What screen readers were told since the last look: the text of each
// notice as it was shown, which is when they speak it.
QStringList announced;

class AnnouncementWatch final : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* notice = qobject_cast<Announcement*>(object))
                announced << notice->accessibleName();
        return false;
    }
};

QString describe(const behaviour::Input& input) {
    switch (input.kind) {
    case behaviour::Input::Kind::Start:
        return QStringLiteral("start");
    case behaviour::Input::Kind::Click:
        return QStringLiteral("click on ") +
               QString::fromStdString(window::controlId(input.control));
    case behaviour::Input::Kind::Key:
        break;
    }
    return QStringLiteral("key ") + QString::fromUtf8(behaviour::keyName(input.key));
}

qulonglong fromEnvironment(const char* name, qulonglong fallback) {
    bool ok = false;
    const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

// A window with its controls by id, and the input that drives it.
class Player {
public:
    Player() {
        form.show();
        for (QWidget* widget : form.findChildren<QWidget*>())
            controls[widget->objectName().toStdString()] = widget;
        announced.clear();
    }

    bool ready() { return QTest::qWaitForWindowActive(&form); }

    void give(const behaviour::Input& input) {
        if (input.kind == behaviour::Input::Kind::Click) {
            QWidget* control = controls.at(window::controlId(input.control));
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                              control->mapTo(&form, control->rect().center()));
        } else if (input.kind == behaviour::Input::Kind::Key) {
            const auto [key, modifiers] = qtKey(input.key);
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        }
    }

    // The first difference between the window and the step, or nothing.
    QString differences(const Step& step) {
        QStringList found;
        QWidget* focus = QApplication::focusWidget();
        const QString focusId = focus ? focus->objectName() : QString();
        if (focusId != QString::fromStdString(window::controlId(step.focus)))
            found << QStringLiteral("the focus is on %1").arg(focusId);
        for (const OptionGroup group : {OptionGroup::Option1, OptionGroup::Option2}) {
            const bool science = group == OptionGroup::Option1;
            for (int row = 0; row < quiz::RowCount; ++row) {
                const auto* button = static_cast<QRadioButton*>(
                    controls.at(window::controlId({science ? "Option1" : "Option2", row})));
                const std::u16string_view caption = behaviour::expectedCaption(step, group, row);
                if (button->isChecked() != ((science ? step.science : step.subject) == row))
                    found << button->objectName() +
                                 QStringLiteral(" is checked: %1").arg(button->isChecked());
                if (button->text() != q(window::withoutAccessKeys(caption)) ||
                    form.caption(group, static_cast<quiz::RowIndex>(row)) != caption)
                    found << button->objectName() + QStringLiteral(" shows ") + button->text();
            }
        }
        if (form.outputText() != step.output)
            found << QStringLiteral("the output is ") + q(form.outputText());
        const auto* box = static_cast<QPlainTextEdit*>(controls.at("Text1-0"));
        if (box->toPlainText() !=
            q(step.output).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
            found << QStringLiteral("the box shows ") + box->toPlainText();
        const QStringList told = step.announced ? QStringList{q(*step.announced)} : QStringList{};
        if (announced != told)
            found << QStringLiteral("screen readers were told ") +
                         announced.join(QStringLiteral(" | "));
        announced.clear();
        return found.join(QStringLiteral("; "));
    }

    // Plays the scenario's steps after its start; the first that differs fails.
    void play(const behaviour::Scenario& scenario) {
        for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
            const Step& step = scenario.steps[i];
            give(step.input);
            if (i % 1000 == 999)
                QCoreApplication::processEvents();
            const QString wrong = differences(step);
            if (!wrong.isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1, step %2 (%3): %4")
                                     .arg(QString::fromUtf8(scenario.name))
                                     .arg(i)
                                     .arg(describe(step.input), wrong)));
        }
    }

private:
    // Enter is the main keyboard's Return and the keypad's Enter in turn.
    std::pair<Qt::Key, Qt::KeyboardModifiers> qtKey(Key key) {
        static constexpr Qt::Key keys[] = {Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Up,
                                           Qt::Key_Down,  Qt::Key_Left,    Qt::Key_Right,
                                           Qt::Key_Space, Qt::Key_Return,  Qt::Key_Escape};
        if (key == Key::ShiftTab)
            return {Qt::Key_Backtab, Qt::ShiftModifier};
        if (key == Key::Enter && (keypad = !keypad))
            return {Qt::Key_Enter, Qt::KeypadModifier};
        return {keys[static_cast<int>(key)], Qt::NoModifier};
    }

    MainForm form;
    std::map<std::string, QWidget*> controls;
    bool keypad = true;
};

} // namespace

class TestBehaviour : public QObject {
    Q_OBJECT

    AnnouncementWatch watch;

private slots:
    void initTestCase() {
        setUpApplication(*qApp);
        qApp->installEventFilter(&watch);
    }

    void scenarios_data() {
        QTest::addColumn<int>("scenario");
        const auto& all = behaviour::scenarios();
        for (std::size_t i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].name.data()) << int(i);
    }

    void scenarios() {
        QFETCH(int, scenario);
        Player player;
        QVERIFY(player.ready());
        player.play(behaviour::scenarios().at(static_cast<std::size_t>(scenario)));
    }

    void randomGame() {
        const auto seed = static_cast<unsigned>(fromEnvironment("ZOOMATCH_RANDOM_SEED", 20261208));
        const auto events = static_cast<long long>(fromEnvironment("ZOOMATCH_RANDOM_EVENTS", 2000));
        Player player;
        QVERIFY(player.ready());
        player.play(behaviour::randomGame(seed, events));
    }
};

QTEST_MAIN(TestBehaviour)
#include "tst_behaviour.moc"
