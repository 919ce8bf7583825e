#include "Application.h"
#include "MainForm.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    MainForm form;
    form.show();
    return QApplication::exec();
}
