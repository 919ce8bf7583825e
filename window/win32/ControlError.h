// What happens when Windows refuses an operation on one of the window's
// controls: the learner is told which control and which operation in a
// message box, and the program ends. Nothing is retried or saved.
#pragma once

#include <string_view>

// kind names the control ("option button"), operation what failed ("set its
// caption"). Shows the message with the last Windows error and ends the process.
[[noreturn]] void controlFailed(std::wstring_view kind, std::wstring_view operation);
