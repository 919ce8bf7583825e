#include "Accessibility.h"

#include "FormDefinition.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

namespace {

// An option button as Qt describes a radio button, with two differences. A
// button blanked by a right pair is named as solved instead of after its
// frame. And it has no label relation to its frame, which screen readers
// would speak before the button on every arrow key; the frame is the
// button's parent and is announced once as the focus enters it.
class AccessibleOption final : public QAccessibleWidget {
public:
    explicit AccessibleOption(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const std::u16string caption =
            window::withAccessKeysUndone(button()->text().toStdU16String());
        return QString::fromStdU16String(
            caption.empty() ? std::u16string(window::windowDefinition().solvedName) : caption);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        return QAccessibleWidget::relations(match & ~QAccessible::Relation(QAccessible::Label));
    }

    QStringList actionNames() const override {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action != toggleAction())
            QAccessibleWidget::doAction(action);
        else
            button()->click(); // a click like the mouse's, which the window hands on
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

} // namespace

QAccessibleInterface* accessibleQuizObject(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    // The quiz is announced as a window, not as an anonymous panel.
    if (className == QLatin1String("MainForm"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("OptionButton"))
        return new AccessibleOption(static_cast<QAbstractButton*>(widget));
    if (className == QLatin1String("Announcement"))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    return nullptr;
}

Announcement::Announcement(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Announcement::announce(const QString& text) {
    hide();
    setAccessibleName(text);
    show();
}
