// What screen readers get beyond the standard controls' own roles and states:
// names and descriptions for the controls that have no caption of their own
// or lose it, and one announcement of each verdict.
//
// oleacc, oleaut32 and COM are loaded from the system folder when the first
// screen reader asks or the first verdict is announced, not at start-up.
//
// Windows asks a control for its accessible object with WM_GETOBJECT; the
// answer here is the standard object of the control (CreateStdAccessibleObject)
// with its name and description supplied. Dynamic Annotation would do the
// same, but Wine does not implement it, and this way works everywhere.
#pragma once

#include <windows.h>

#include <string>

struct AccessibleTexts {
    std::wstring name;      // given as the name when not empty
    std::wstring emptyName; // the name while the control's caption is empty
    std::wstring description;
};

// The answer to WM_GETOBJECT(OBJID_CLIENT) for `control`, or 0 when no object
// could be made, in which case the standard answer applies. `texts` is copied.
LRESULT accessibleObject(HWND control, WPARAM flags, const AccessibleTexts& texts);

// Has screen readers speak `text` once: through UI Automation's notification
// where Windows has it (Windows 10 1709 and later), otherwise through the
// live-region WinEvent of the output box, which screen readers read afresh.
void announce(HWND output, const std::wstring& text);

// Ends COM on this thread where a screen reader had it started; called once
// the window is gone.
void endScreenReaderSupport();
