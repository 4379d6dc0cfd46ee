#pragma once
// Linux processes seen from the Windows side of Wine: started through Wine's view of /bin/sh,
// watched through its view of /proc. Wine's process handle for a Linux program can neither be
// waited on nor tell an exit code, so these are the only ways to start and follow one.

#include "PrivateFolder.h"
#include "WinePaths.h"

#include <windows.h>

#include <string>

namespace qarvel::bridge {

// Starts /bin/sh with the arguments (Windows command-line form) in the private folder and
// lets it run; ERROR_FILE_NOT_FOUND when Wine cannot reach /bin/sh.
DWORD StartShell(const WinePaths &wine, const PrivateFolder &folder, const std::wstring &arguments);

// Whether the Linux process still runs; true when Wine shows no /proc, so that a missing
// /proc never ends a run early. A process nobody reaps stays in /proc as a zombie, so its
// state counts, not only its presence.
bool ProcessAlive(const WinePaths &wine, unsigned long pid);

} // namespace qarvel::bridge
