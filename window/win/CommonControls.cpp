#include "CommonControls.h"

#include "win32/ErrorText.h"

#include <windows.h>

#include <commctrl.h>

namespace qarvel::window {

bool LoadCommonControls()
{
    // comctl32.dll is not one of the libraries Windows always takes from the system folder,
    // and it brings uxtheme.dll along, which is looked for beside the program first. Imported,
    // both would be loaded as the process starts, before wWinMain restricts the search to the
    // system folder, and a uxtheme.dll planted beside Qarvel.exe would run. So it is not
    // imported but loaded here, from the system folder; the manifest still picks the version.
    // It stays loaded for the life of the process, as the window classes it registers must.
    const HMODULE library =
        ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        win32::TraceFailure(L"LoadLibraryExW comctl32.dll", ::GetLastError());
        return false;
    }
    using InitFunction = BOOL(WINAPI *)(const INITCOMMONCONTROLSEX *);
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void *>(::GetProcAddress(library, "InitCommonControlsEx")));
    if (init == nullptr) {
        win32::TraceFailure(L"GetProcAddress InitCommonControlsEx", ::GetLastError());
        return false;
    }
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    return init(&controls) != FALSE;
}

} // namespace qarvel::window
