#include "Application.h"
#include "MainForm.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Without a desktop Qt would abort with a core dump and a page of advice;
    // a platform chosen by the user (offscreen, vnc, ...) needs none.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("zoomatch: no display: the quiz needs a desktop session (X11 or Wayland), "
                   "and neither DISPLAY nor WAYLAND_DISPLAY is set\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    setUpApplication(app);
    MainForm form;
    form.show();
    return QApplication::exec();
}
