// What screen readers get beyond the standard controls' own roles and states:
// names and descriptions for the controls that have no caption of their own
// or lose it, and each verdict, spoken once.
//
// oleacc, oleaut32 and COM are loaded from the system folder when the first
// screen reader asks or the first verdict is announced, not at start-up, and
// stay loaded to the end: a screen reader may hold an object past the window.
//
// Windows asks a control for its accessible object with WM_GETOBJECT; the
// answer here is an object of the program's own that supplies the name and
// description and leaves the rest to the control's standard object
// (CreateStdAccessibleObject). Dynamic Annotation would do the same, but Wine
// does not implement it, and this way works everywhere. The object keeps
// COM's rules: it answers IUnknown, IDispatch (through oleacc's type library),
// IAccessible and IOleWindow alone, and once its control is destroyed every
// call returns CO_E_OBJNOTCONNECTED.
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

// Called at the control's WM_NCDESTROY: the objects screen readers still
// hold of it are cut off from it, since its handle may go to another window.
void accessibleControlGone(HWND control);

// The verdict's own accessible object: a hidden static child of `form`, out
// of the tab order, whose name is the verdict last announced and which is a
// polite live region where UI Automation reads that setting (Windows 8 on).
HWND createVerdictControl(HWND form);

// Has screen readers speak `text` once, again when it comes twice: through
// UI Automation's notification on the output box where Windows has it
// (Windows 10 1709 and later), otherwise as the name of `verdict` with the
// live-region WinEvent raised on it, which screen readers answer by reading
// the name of the event's object.
void announce(HWND output, HWND verdict, const std::wstring& text);

// Ends COM on this thread where a screen reader had it started; called once
// the window is gone. Nothing is unloaded.
void endScreenReaderSupport();
