#include "ControlError.h"

#include <windows.h>

#include <string>

void controlFailed(std::wstring_view kind, std::wstring_view operation) {
    const DWORD error = GetLastError();
    std::wstring message = L"zoomatch: the ";
    message += kind;
    message += L" could not ";
    message += operation;
    message += L" (Windows error " + std::to_wstring(error) + L").\nThe program ends.";
    MessageBoxW(nullptr, message.c_str(), L"zoomatch", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}
