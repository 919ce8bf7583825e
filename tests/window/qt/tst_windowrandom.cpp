// Random mouse clicks and key presses on the real window, checked after every
// event against the independent reference rules. The seed and the count can
// be chosen for long soaks:
//   ZOOMATCH_RANDOM_SEED=7 ZOOMATCH_RANDOM_EVENTS=5000000 tst_windowrandom
#include "../../quiz/ReferenceQuiz.h"
#include "Application.h"
#include "FormDefinition.h"
#include "MainForm.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <random>

namespace {

// What a point of the window hits, worked out from the window definition:
// {group 0 or 1, row} for an option button, {2, index} for a push button.
struct Target {
    int kind = -1;
    int index = -1;
};

QRect pixelRect(const window::ControlDef& def) {
    using window::pixels;
    return {pixels(def.left, 96), pixels(def.top, 96), pixels(def.width, 96), pixels(def.height, 96)};
}

Target targetAt(QPoint point) {
    const auto defs = window::controlDefinitions();
    // Later controls lie on top of earlier ones; a frame's buttons on top of the frame.
    for (auto def = defs.rbegin(); def != defs.rend(); ++def) {
        QRect rect = pixelRect(*def);
        if (!def->parent.name.empty())
            for (const window::ControlDef& frame : defs)
                if (frame.member == def->parent)
                    rect.translate(pixelRect(frame).topLeft());
        if (!rect.contains(point))
            continue;
        if (def->kind == window::Kind::OptionButton)
            return {def->member.name == "Option1" ? 0 : 1, def->member.index};
        if (def->kind == window::Kind::PushButton)
            return {2, def->member.index};
        if (def->kind != window::Kind::Frame)
            return {};
    }
    return {};
}

// The rows of a group from top to bottom on screen.
std::vector<int> screenOrder(int group) {
    std::vector<std::pair<int, int>> byTop;
    for (const window::ControlDef& def : window::controlDefinitions())
        if (def.member.name == (group == 0 ? "Option1" : "Option2"))
            byTop.push_back({def.top, def.member.index});
    std::sort(byTop.begin(), byTop.end());
    std::vector<int> rows;
    for (const auto& [top, row] : byTop)
        rows.push_back(row);
    return rows;
}

qulonglong fromEnvironment(const char* name, qulonglong fallback) {
    bool ok = false;
    const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

} // namespace

class TestWindowRandom : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void randomEventsMatchTheReference() {
        const qulonglong seed = fromEnvironment("ZOOMATCH_RANDOM_SEED", 20261208);
        const qulonglong events = fromEnvironment("ZOOMATCH_RANDOM_EVENTS", 100000);
        std::mt19937_64 random(seed);
        const std::array<std::vector<int>, 2> columns{screenOrder(0), screenOrder(1)};
        const std::array keys{Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Up,    Qt::Key_Down,
                              Qt::Key_Left,  Qt::Key_Right,   Qt::Key_Space, Qt::Key_Return,
                              Qt::Key_Enter, Qt::Key_Escape,  Qt::Key_A,     Qt::Key_Z};

        MainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        ReferenceQuiz expected;
        const auto optionOf = [&form](QWidget* widget) -> Target {
            for (int group : {0, 1})
                for (int k = 0; k < ReferenceQuiz::Rows; ++k)
                    if (widget == (group == 0 ? form.Option1(k) : form.Option2(k)))
                        return {group, k};
            for (int i : {0, 1})
                if (widget == form.Command1(i))
                    return {2, i};
            return {};
        };
        const auto apply = [&expected](Target target) {
            if (target.kind == 2)
                expected.clickCommand(target.index);
            else if (target.kind >= 0)
                expected.clickOption(target.kind, target.index);
        };

        for (qulonglong step = 0; step < events; ++step) {
            QString event;
            if (random() % 2) {
                const QPoint point(int(random() % form.width()), int(random() % form.height()));
                event = QStringLiteral("click at %1,%2").arg(point.x()).arg(point.y());
                apply(targetAt(point));
                QWidget* widget = form.childAt(point);
                widget = widget ? widget : &form;
                QTest::mouseClick(widget, Qt::LeftButton, {}, widget->mapFrom(&form, point));
            } else {
                const Qt::Key key = keys[random() % keys.size()];
                QWidget* focus = QApplication::focusWidget();
                focus = focus ? focus : &form;
                event = QStringLiteral("key %1 on %2").arg(key, 0, 16).arg(focus->objectName());
                const Target focused = optionOf(focus);
                if (key == Qt::Key_Space ||
                    ((key == Qt::Key_Return || key == Qt::Key_Enter) && focused.kind == 2)) {
                    apply(focused);
                } else if ((key == Qt::Key_Up || key == Qt::Key_Down) && focused.kind >= 0 &&
                           focused.kind < 2 && expected.selected[focused.kind] == focused.index) {
                    // An arrow from the selected button selects its neighbour on
                    // screen; at either end of the column it does nothing.
                    const std::vector<int>& column = columns[focused.kind];
                    const auto at = std::find(column.begin(), column.end(), focused.index);
                    const auto place = (at - column.begin()) + (key == Qt::Key_Down ? 1 : -1);
                    if (place >= 0 && place < std::ssize(column))
                        apply({focused.kind, column[place]});
                }
                QTest::keyClick(focus, key);
            }
            if (step % 1000 == 0)
                QCoreApplication::processEvents();

            const QString where =
                QStringLiteral("seed %1, step %2 (%3): ").arg(seed).arg(step).arg(event);
            for (int k = 0; k < ReferenceQuiz::Rows; ++k) {
                for (int group : {0, 1}) {
                    QRadioButton* button = group == 0 ? form.Option1(k) : form.Option2(k);
                    if (button->text() != QString::fromStdU16String(expected.captions[group][k]) ||
                        button->isChecked() != (expected.selected[group] == k))
                        QFAIL(qPrintable(
                            where +
                            QStringLiteral("option %1 of group %2 differs").arg(k).arg(group)));
                }
            }
            if (form.quizRules().lastPick1() != expected.picks[0] ||
                form.quizRules().lastPick2() != expected.picks[1])
                QFAIL(qPrintable(where + QStringLiteral("picks %1,%2 instead of %3,%4")
                                             .arg(form.quizRules().lastPick1())
                                             .arg(form.quizRules().lastPick2())
                                             .arg(expected.picks[0])
                                             .arg(expected.picks[1])));
            if (form.outputText() != expected.output)
                QFAIL(qPrintable(where + QStringLiteral("output text differs")));
        }
    }
};

QTEST_MAIN(TestWindowRandom)
#include "tst_windowrandom.moc"
