#include "Application.h"

#include "QuizStyle.h"
#include "version.h"

#include <QApplication>

void setUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("zoomatch"));
    QApplication::setOrganizationName(QStringLiteral("zoomatch"));
    QApplication::setApplicationVersion(QStringLiteral(ZOOMATCH_VERSION));
    // Desktop styles such as Breeze or GTK may ignore a button's palette, so
    // the program brings its own and looks the same on every desktop.
    app.setStyle(new QuizStyle);
}
