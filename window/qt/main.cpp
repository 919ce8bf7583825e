#include "Application.h"
#include "MainForm.h"

#include <QApplication>
#ifdef Q_OS_WASM
#include <QFontDatabase>
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef Q_OS_WASM
    // A browser lends Qt none of its fonts: the window's comes with the program.
    QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSerif-Regular.ttf"));
#endif
    setUpApplication(app);
    MainForm form;
#ifdef Q_OS_WASM
    // The page is the window's frame: the browser's tab shows the caption and
    // the icon, and the window sits at the page's top left.
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.move(0, 0);
#endif
    form.show();
    return QApplication::exec();
}
