// The yardsticks for start-up, built and linked the same way as Qarvel.exe: the smallest Win32
// program that shows one window and idles; and, built with QARVEL_BENCH_CONTROLS, that window
// with Qarvel's eleven standard controls made in it, in the message font, with the common
// controls loaded, no list filled and nothing laid out by DPI. What Qarvel costs beyond the
// second is its own work.

#include "win32/Handles.h"

#include <windows.h>

#include <commctrl.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

#ifdef QARVEL_BENCH_CONTROLS
// The font lives as long as the window: the controls draw with it.
qarvel::win32::UniqueFont MakeControls(HWND window, HINSTANCE instance)
{
    // Kinds, captions and places at 96 DPI as in Qarvel's window.
    const struct {
        const wchar_t *cls;
        const wchar_t *text;
        DWORD style;
        int x, y, w, h;
    } kids[] = {
        {L"STATIC", L"File: Not Set", SS_NOTIFY, 8, 8, 58, 13},
        {L"BUTTON", L" iSO", BS_PUSHBUTTON | WS_TABSTOP, 265, 23, 41, 21},
        {L"STATIC", L"Written by Mordwin", SS_NOTIFY, 151, 235, 90, 13},
        {L"STATIC", L"Halvoren", SS_NOTIFY, 135, 251, 45, 13},
        {L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 8, 48, 237, 96},
        {L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 8, 24, 238, 200},
        {L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 9, 143, 234, 84},
        {L"BUTTON", L"CHD", BS_CHECKBOX | WS_TABSTOP, 266, 57, 45, 13},
        {L"BUTTON", L"ZSO", BS_CHECKBOX | WS_TABSTOP, 266, 73, 44, 13},
        {L"STATIC", L"pip install lz4", SS_NOTIFY, 315, 73, 59, 13},
        {L"BUTTON", L"BIN2ISO", BS_PUSHBUTTON | WS_TABSTOP, 311, 23, 53, 21},
    };
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof m;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    qarvel::win32::UniqueFont font(::CreateFontIndirectW(&m.lfMessageFont));
    int id = 100;
    for (const auto &k : kids) {
        HWND c = ::CreateWindowExW(0, k.cls, k.text, WS_CHILD | WS_VISIBLE | k.style, k.x, k.y, k.w,
                                   k.h, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(++id)),
                                   instance, nullptr);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    return font;
}
#endif

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
#ifdef QARVEL_BENCH_CONTROLS
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
#endif
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"QarvelBenchYardstick";
    if (!::RegisterClassW(&windowClass)) {
        return 1;
    }
    const HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Yardstick",
                                          WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                          300, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
#ifdef QARVEL_BENCH_CONTROLS
    const qarvel::win32::UniqueFont font = MakeControls(window, instance);
#endif
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
