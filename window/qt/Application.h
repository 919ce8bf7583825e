// Application-wide set-up shared by the program and its tests, so that the
// tests see the window exactly as every learner does.
#pragma once

class QApplication;

// Names the application and its version, and fixes the widget style: the
// colours of the buttons are painted the same on every desktop.
void setUpApplication(QApplication& app);
