// An option button that answers a click anywhere on its face, not only on the
// circle and caption: a button whose caption was blanked out stays as easy to
// hit as the others.
#pragma once

#include <QRadioButton>

class OptionButton final : public QRadioButton {
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
