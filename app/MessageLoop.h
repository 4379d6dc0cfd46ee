#pragma once
// The program's message loop: the window's messages, and the ends of the processes the host
// watches, on the one thread, without blocking the window.

#include "host/win/WinHost.h"
#include "window/win/MainWindow.h"

namespace qarvel::app {

// Runs until the window is closed; gives the program's exit code.
int RunMessageLoop(window::MainWindow &window, host::WinHost &host);

} // namespace qarvel::app
