#pragma once
// Runs the script in the private folder through the Linux /bin/sh and waits for the status it
// leaves, relaying the tool's output meanwhile. Waiting means polling the folder; the shell's
// process id, which the script writes first, tells whether it still runs.

#include "OutputRelay.h"
#include "PrivateFolder.h"
#include "WinePaths.h"

#include <string>

namespace qarvel::bridge {

struct ShellRunContext {
    const WinePaths &wine;
    const PrivateFolder &folder;
    StandardStream &output;
    StandardStream &errors;
};

// The bridge's exit code when it fails before chdman could report anything.
inline constexpr int BridgeFailure = 1;

// The exit code for the bridge: the tool's own, 127 when the tool is missing, 1 when the
// shell could not be started or vanished (a message then says which).
int RunShellScript(const ShellRunContext &run, const std::string &tool);

} // namespace qarvel::bridge
