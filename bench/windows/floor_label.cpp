// The floor of the Windows start-up benchmark: the least window that shows
// what the quiz's first frame shows at its top, an empty window of the quiz's
// size and frame with one centred label in the quiz's font and colour. It
// starts as the quiz starts (COM, common controls 6 through the same
// manifest) and ends when its window is closed.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

namespace {

constexpr COLORREF WindowColour = RGB(0xC0, 0xC0, 0xFF);
constexpr COLORREF LabelColour = RGB(0xFF, 0xC0, 0x80);
HBRUSH windowBrush, labelBrush;

int pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

int CALLBACK fontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

LRESULT CALLBACK floorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), LabelColour);
        return reinterpret_cast<LRESULT>(labelBrush);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    windowBrush = CreateSolidBrush(WindowColour);
    labelBrush = CreateSolidBrush(LabelColour);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = floorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = windowBrush;
    windowClass.lpszClassName = L"zoomatch floor";
    if (!RegisterClassExW(&windowClass))
        return 1;
    // The quiz's font, or its metric twin where it is missing (Wine), found
    // the same way as the quiz finds it.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    LOGFONTW wanted{};
    wanted.lfCharSet = RUSSIAN_CHARSET;
    lstrcpyW(wanted.lfFaceName, L"Times New Roman");
    bool found = false;
    EnumFontFamiliesExW(screen, &wanted, fontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, pixels(6915, dpi), pixels(6225, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"zoomatch floor", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    HWND label =
        CreateWindowExW(0, L"STATIC", L"Биология - науки за животните",
                        WS_CHILD | WS_VISIBLE | SS_CENTER, pixels(960, dpi), 0, pixels(4575, dpi),
                        pixels(375, dpi), window, nullptr, instance, nullptr);
    if (!window || !label)
        return 1;
    HFONT font =
        CreateFontW(-MulDiv(12, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_ROMAN, found ? L"Times New Roman" : L"Liberation Serif");
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return 0;
}
