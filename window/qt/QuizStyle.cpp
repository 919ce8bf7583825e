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
    // Opaque colours, a touch darker and lighter than the frame's own: Qt
    // hands a translucent fill this tall to a pool of threads, and starting
    // them costs the start-up about a millisecond.
    const QColor base = option->palette.window().color();
    const auto mix = [&base](int toward, int weight) {
        const auto channel = [&](int c) {
            return (c * (255 - weight) + toward * weight + 127) / 255;
        };
        return QColor(channel(base.red()), channel(base.green()), channel(base.blue()));
    };
    painter->save();
    painter->setPen(mix(0, 40));
    painter->setBrush(mix(255, 25));
    painter->drawRoundedRect(frame, 2, 2);
    painter->restore();
}

void QuizStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                   QPainter* painter, const QWidget* widget) const {
    const auto* scrollBar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !scrollBar || !(option->subControls & SC_ScrollBarGroove)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // Fusion fills the scroll bar's groove with a gradient, which, like a
    // translucent fill, starts a pool of painting threads; one flat colour
    // close to Fusion's does not.
    painter->fillRect(option->rect, option->palette.button().color().darker(104));
    QStyleOptionSlider rest = *scrollBar;
    rest.subControls &= ~SC_ScrollBarGroove;
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
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
