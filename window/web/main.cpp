// The quiz in a web page: the window is already on the page; this loads it
// (Form_Load) and attaches its handlers. The runtime stays after main
// returns, and the page's events call the window from then on.
#include "MainForm.h"

int main() {
    static MainForm form;
    form.Form_Load();
    return 0;
}
