// The quiz program exactly as shipped, but it quits after its first frame.
#include "Application.h"
#include "FirstFrame.h"
#include "MainForm.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    MainForm form;
    return FirstFrame::show(form);
}
