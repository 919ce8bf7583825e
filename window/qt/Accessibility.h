// What the window tells screen readers beyond what Qt's own accessible
// widgets tell them: the window is a window, a blanked option button says that
// its row is solved, an option button is not labelled by its frame again on
// every move, and each command's result is announced the moment it appears.
#pragma once

#include <QWidget>

class QAccessibleInterface;

// Qt's accessible interface for the quiz's own classes; nullptr for the rest.
QAccessibleInterface* accessibleQuizObject(const QString& className, QObject* object);

// A notice with no size and nothing to paint, which screen readers speak when
// it is shown: its accessible name is the text that they read out.
class Announcement final : public QWidget {
    Q_OBJECT

public:
    explicit Announcement(QWidget* parent);

    // Shows the notice again with this text, so that it is spoken once more.
    void announce(const QString& text);
};
