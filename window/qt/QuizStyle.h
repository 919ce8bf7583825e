// The program's widget style: Fusion, which honours every palette colour,
// with push buttons painted flat in their own face colour instead of Fusion's
// pale gradient, so "Чисти" and "Изведи" show their colours as they are, and
// frames drawn rather than loaded from a picture.
#pragma once

#include <QProxyStyle>

class QuizStyle final : public QProxyStyle {
    Q_OBJECT

public:
    QuizStyle();

    // Light and fixed, whatever the desktop's colour scheme: black text on
    // white and light grey, so that a dark desktop theme never puts light
    // text on the window's light colours.
    QPalette standardPalette() const override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    void drawFrame(const QStyleOption* option, QPainter* painter) const;
    void drawPushButton(const QStyleOption* option, QPainter* painter) const;
};
