// Holds the clipboard open for a while, as a busy program would, so tests can see what a
// writer does while it cannot open the clipboard.
//
//   clipboard-holder.exe HOLD_MS EVENT_NAME
//
// Opens the clipboard, sets the named event (created by the test) once it holds it, keeps it
// HOLD_MS milliseconds and closes it. Exit code 0 when it held the clipboard.

#include "win32/Handles.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3) {
        std::fputs("usage: clipboard-holder HOLD_MS EVENT_NAME\n", stderr);
        return 2;
    }
    const DWORD hold = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
    const qarvel::win32::UniqueHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
    if (!ready) {
        std::fprintf(stderr, "clipboard-holder: no event (error %lu)\n", ::GetLastError());
        return 3;
    }
    // Opened for a window: Wine lets two processes that both open it for no window hold it at
    // the same time, so a holder without a window would not keep anybody out there.
    const qarvel::win32::UniqueWindow window(::CreateWindowExW(
        0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    if (!window) {
        std::fprintf(stderr, "clipboard-holder: no window (error %lu)\n", ::GetLastError());
        return 3;
    }
    // Another program may have it for a moment; give it up to five seconds.
    bool open = ::OpenClipboard(window.get()) != FALSE;
    for (int tries = 1; !open && tries < 100; ++tries) {
        ::Sleep(50);
        open = ::OpenClipboard(window.get()) != FALSE;
    }
    if (!open) {
        std::fprintf(stderr, "clipboard-holder: cannot open (error %lu)\n", ::GetLastError());
        return 4;
    }
    ::SetEvent(ready.get());
    ::Sleep(hold);
    ::CloseClipboard();
    return 0;
}
