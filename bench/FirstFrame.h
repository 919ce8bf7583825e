// Shared by the startup benchmarks: show a top-level widget, and quit once its
// first frame has been painted and handed to the display.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

class FirstFrame final : public QObject {
public:
    // Shows the widget and runs the event loop until its first frame is out.
    static int show(QWidget& widget) {
        FirstFrame watcher;
        widget.installEventFilter(&watcher);
        widget.show();
        return QApplication::exec();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The backing store is flushed right after the paint; the timer runs
        // once the event loop is back, when the frame is on the display.
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool painted = false;
};
