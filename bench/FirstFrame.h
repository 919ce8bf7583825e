// Shared by the startup benchmarks: show a top-level widget and end the
// process as soon as its first frame is on the display.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

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
        // The window's first paint event comes when the display exposes it;
        // the children are painted and the backing store is flushed in the
        // same pass, so the timer runs once the whole frame has been sent.
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            QTimer::singleShot(0, this, [] {
                // A round trip to the display server: it has drawn the frame.
                QGuiApplication::sync();
                // Tearing down is no part of starting up, and differs between
                // the programs compared.
                std::_Exit(EXIT_SUCCESS);
            });
        }
        return false;
    }

private:
    bool painted = false;
};
