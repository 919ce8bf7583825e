// The window's two kinds of buttons, with the keys MainForm.h describes.
// Qt's own arrow keys stop at a column's ends, select only when the focused
// option is already selected, and move the focus off a push button, so both
// kinds take the arrows themselves.
#pragma once

#include "FormDefinition.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

// -1 for Up and Left, 1 for Down and Right, 0 for any other key.
inline int arrowStep(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        return -1;
    case Qt::Key_Down:
    case Qt::Key_Right:
        return 1;
    default:
        return 0;
    }
}

// An option button of a column, a member of its QButtonGroup with its row as
// its id. It answers a click anywhere on its face, not only on the circle and
// caption, so a button whose caption was blanked out stays as easy to hit as
// the others. An arrow key clicks the option above or below it on screen,
// from either end of the column round to the other.
class OptionButton final : public QRadioButton {
    Q_OBJECT

public:
    OptionButton(quiz::OptionGroup column, const QString& text, QWidget* parent)
        : QRadioButton(text, parent), column(column) {}

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

    void keyPressEvent(QKeyEvent* event) override {
        const int step = arrowStep(event);
        if (step == 0) {
            QRadioButton::keyPressEvent(event);
            return;
        }
        const auto row = static_cast<quiz::RowIndex>(group()->id(this));
        QAbstractButton* next = group()->button(window::neighbour(column, row, step));
        next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        next->click();
    }

private:
    quiz::OptionGroup column;
};

// A push button on which the arrow keys do nothing.
class CommandButton final : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (arrowStep(event) != 0)
            event->accept();
        else
            QPushButton::keyPressEvent(event);
    }
};
