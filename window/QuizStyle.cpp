#include "QuizStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

QuizStyle::QuizStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void QuizStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    QColor face = option->palette.button().color();
    if (option->state & (State_Sunken | State_On))
        face = face.darker(115);
    // The outline shows keyboard focus as Fusion's own buttons do.
    const bool keyboardFocus =
        (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange);
    const QColor outline = keyboardFocus ? option->palette.highlight().color() : face.darker(170);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(outline, keyboardFocus ? 2 : 1));
    painter->setBrush(face);
    const qreal inset = keyboardFocus ? 1 : 0.5;
    painter->drawRoundedRect(QRectF(option->rect).adjusted(inset, inset, -inset, -inset), 2, 2);
    painter->restore();
}
