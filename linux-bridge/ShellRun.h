#pragma once
// Runs a Linux command under Wine and waits for its exit status. Wine starts a Linux program
// and lets it write to this program's output, but cannot wait for it nor read its exit code;
// so /bin/sh runs the command from a script that writes the exit status to a file when the
// command has ended, and this program watches for that file.

#include "WinePaths.h"

#include <string>
#include <vector>

namespace qarvel::bridge {

struct ShellResult {
    int exitCode = 0;
    std::wstring error; // set when the command could not be run or its status not read
};

// Runs the command in the Unix folder given.
ShellResult RunInShell(const WinePaths &wine, const std::string &unixFolder,
                       const std::vector<std::string> &command);

} // namespace qarvel::bridge
