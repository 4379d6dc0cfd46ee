#pragma once
// Starting a command line through the system's command interpreter.

#include "actions/HostServices.h"
#include "win32/Handles.h"

#include <string>

namespace qarvel::host {

// A started process, and its handle: waitable, and readable for the exit code.
struct StartedTask {
    TaskNumber task = NoTask;
    win32::UniqueHandle process;
};

// Starts the command line, exactly as given, with the system directory's cmd.exe as the
// program: a cmd.exe beside Qarvel or in the working directory is never run. The new window
// is shown as `mode` says; the child inherits the working directory. Returns at once with
// the process id and handle (the thread handle is closed at once), or NoTask when nothing
// could be started, which includes a line longer than cmd.exe runs (8191 characters).
StartedTask LaunchCommand(const std::wstring &commandLine, ShowMode mode);

} // namespace qarvel::host
