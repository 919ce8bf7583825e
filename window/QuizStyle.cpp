#include "QuizStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

QuizStyle::QuizStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QPalette QuizStyle::standardPalette() const {
    const QColor lightGrey(0xEF, 0xEF, 0xEF);
    QPalette palette(lightGrey, lightGrey); // works out black text on white
    palette.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

void QuizStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameGroupBox)
        drawFrame(option, painter);
    else if (element == PE_PanelButtonCommand)
        drawPushButton(option, painter);
    else
        QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void QuizStyle::drawFrame(const QStyleOption* option, QPainter* painter) const {
    // Fusion's own frame is a picture that Qt decodes through its image
    // plugins, which costs the start-up more than all the rest of the frame;
    // this draws the same rounded outline below the title.
    const int titleHeight =
        qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) + 3;
    const QRect frame = option->rect.adjusted(0, titleHeight, -1, -1);
    painter->save();
    painter->setPen(QColor(0, 0, 0, 40));
    painter->setBrush(QColor(255, 255, 255, 25));
    painter->drawRoundedRect(frame, 2, 2);
    painter->restore();
}

void QuizStyle::drawPushButton(const QStyleOption* option, QPainter* painter) const {
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
