#include "ControlError.h"

#include <string>

namespace {

bool reporting = false;
bool kept = false;
std::wstring keptKind, keptOperation;
DWORD keptError = ERROR_SUCCESS;

[[noreturn]] void report(std::wstring_view kind, std::wstring_view operation, DWORD error) {
    if (!reporting) {
        reporting = true;
        std::wstring message = L"zoomatch: the ";
        message += kind;
        message += L" could not ";
        message += operation;
        message += L" (Windows error " + std::to_wstring(error) + L").\nThe program ends.";
        MessageBoxW(nullptr, message.c_str(), L"zoomatch", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
    ExitProcess(1);
}

} // namespace

void controlFailed(std::wstring_view kind, std::wstring_view operation) {
    report(kind, operation, GetLastError());
}

void keepPaintFailure(HWND window, UINT message, std::wstring_view kind,
                      std::wstring_view operation) {
    if (kept || reporting)
        return;
    keptError = GetLastError();
    keptKind = kind;
    keptOperation = operation;
    kept = true;
    // Without the message the failure could never be told: end quietly.
    if (!PostMessageW(window, message, 0, 0))
        ExitProcess(1);
}

void reportKeptFailure() {
    if (!reporting)
        report(keptKind, keptOperation, keptError);
}
