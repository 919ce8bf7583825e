// The Windows program: the quiz window and the message loop that serves it
// until the window is closed. It reads no files and writes nothing.
#include "Accessibility.h"
#include "ControlError.h"
#include "MainForm.h"
#include "SystemFunction.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // Before anything loads a DLL by name.
    searchSystemFolderOnly();
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&classes))
        controlFailed(L"window", L"load the common controls");
    MainForm form(instance, show);
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (form.handleDialogKeys(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (got < 0)
        controlFailed(L"window", L"receive its messages");
    // COM, started when a screen reader first asked for the window's objects.
    endScreenReaderSupport();
    return static_cast<int>(message.wParam);
}
