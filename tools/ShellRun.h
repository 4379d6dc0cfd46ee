#pragma once
// Runs the script in the private folder through the Linux /bin/sh and waits for the status it
// leaves, relaying the tool's output meanwhile. Wine gives no usable handle for a Linux
// process, so waiting means polling the folder; the shell's process id (which the script
// writes first) tells whether it still runs.

#include "OutputRelay.h"
#include "PrivateFolder.h"
#include "WinePaths.h"

#include <string>

namespace qarvel::bridge {

struct ShellStreams {
    StandardStream &output;
    StandardStream &errors;
};

// The exit code for the bridge: the tool's own, 127 when the tool is missing, 1 when the
// shell could not be started or vanished (a message then says which).
int RunShellScript(const WinePaths &wine, const PrivateFolder &folder, const std::string &tool,
                   ShellStreams streams);

} // namespace qarvel::bridge
