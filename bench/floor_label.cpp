// The floor with font loading: a window of the quiz's size showing one text
// in the quiz's font.
#include "FirstFrame.h"

#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Биология - науки за животните"));
    QFont font(QStringList{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(12);
    window.setFont(font);
    window.setFixedSize(461, 415);
    return FirstFrame::show(window);
}
