// The quiz in a web page: the window is already on the page; this loads it
// (Form_Load) and attaches its handlers. The runtime stays after main
// returns, and the page's events call the window from then on.
#include "MainForm.h"

int main() {
    // The window lives as long as the page, so it is never destroyed.
    auto* form = new MainForm;
    form->Form_Load();
    return 0;
}
