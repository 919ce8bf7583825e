// What happens when Windows refuses an operation on one of the window's
// controls: the learner is told which control and which operation in a
// message box, and the program ends. Nothing is retried or saved.
#pragma once

#include <windows.h>

#include <string_view>

// kind names the control ("option button"), operation what failed ("set its
// caption"). Shows the message with the last Windows error and ends the process.
// A failure met while that message is shown (its box keeps the window's
// messages going) ends the process at once, without a second box.
[[noreturn]] void controlFailed(std::wstring_view kind, std::wstring_view operation);

// A failure met while painting, where a message box would go on painting and
// could fail, and report, again inside itself: the first one is kept with its
// Windows error and `message` is posted to `window`, whose handler calls
// reportKeptFailure once the paint is over. Later ones, and any while a
// report is shown, add nothing.
void keepPaintFailure(HWND window, UINT message, std::wstring_view kind,
                      std::wstring_view operation);
// Reports the kept failure as controlFailed does, and ends the process; while
// another report is shown, it does nothing.
void reportKeptFailure();
