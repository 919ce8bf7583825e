#include "Application.h"

#include "Accessibility.h"
#include "MainForm.h"
#include "QuizStyle.h"
#include "version.h"

#include <QAccessible>
#include <QApplication>

void setUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("zoomatch"));
    QApplication::setOrganizationName(QStringLiteral("zoomatch"));
    QApplication::setApplicationVersion(QStringLiteral(ZOOMATCH_VERSION));
    // Ties the window to the desktop entry and so to its icon, on Wayland too.
    QApplication::setDesktopFileName(QStringLiteral(ZOOMATCH_APP_ID));
    // Desktop styles such as Breeze or GTK may ignore a button's palette, and
    // a desktop's dark theme would give light text on the window's light
    // colours, so the program brings its own style and palette and looks the
    // same on every desktop.
    auto* style = new QuizStyle;
    app.setStyle(style);
    QApplication::setPalette(style->standardPalette());
    QAccessible::installFactory(accessibleQuizObject);
    // The window's one font is the application's, so nothing, not even a text
    // box's empty document, loads the desktop's default font as well.
    QApplication::setFont(MainForm::windowFont());
}
