// Qarvel's start: the host, the one window, and the message loop until the window is closed.

#include "actions/Texts.h"
#include "host/win/WinHost.h"
#include "MessageLoop.h"
#include "Resource.h"
#include "win32/ErrorText.h"
#include "win32/Handles.h"
#include "window/win/MainWindow.h"

#include <windows.h>

namespace {

using qarvel::win32::UniqueIcon;
using qarvel::window::MainWindow;

UniqueIcon LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric, UINT dpi)
{
    return UniqueIcon{static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QARVEL), IMAGE_ICON,
                     ::GetSystemMetricsForDpi(widthMetric, dpi),
                     ::GetSystemMetricsForDpi(heightMetric, dpi), LR_DEFAULTCOLOR))};
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // Libraries are loaded from the system folder only, never from beside the program. Every
    // supported Windows has this call; should it fail, the usual search order stays, which
    // is no reason to keep the user from the program.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    qarvel::host::WinHost host;
    std::unique_ptr<MainWindow> window =
        MainWindow::Create(instance, host, MainWindow::OnClose::EndMessageLoop);
    if (!window) {
        const DWORD error = ::GetLastError();
        host.ShowMessageBox(
            qarvel::Fill(qarvel::texts::NoWindow, {qarvel::win32::DescribeError(error)}),
            qarvel::MessageStyle::Critical);
        return 1;
    }
    host.SetOwnerWindow(window->Handle());

    // The icons live as long as the window that shows them.
    const UniqueIcon bigIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON, window->Dpi());
    const UniqueIcon smallIcon = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON, window->Dpi());
    if (bigIcon) {
        ::SendMessageW(window->Handle(), WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(bigIcon.get()));
    }
    if (smallIcon) {
        ::SendMessageW(window->Handle(), WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(smallIcon.get()));
    }

    window->Show(showCommand);
    // Processes still running when the window closes run on; their handles close with the host.
    return qarvel::app::RunMessageLoop(*window, host);
}
