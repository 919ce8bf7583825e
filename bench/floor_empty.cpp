// The floor of the toolkit: an empty window of the quiz's size.
#include "FirstFrame.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(461, 415);
    return FirstFrame::show(window);
}
