#pragma once
// What the bridge runs on the Linux side: the tool its own file name stands for, and this
// program's arguments with the Windows paths among them turned into Unix paths.

#include "WinePaths.h"

#include <optional>
#include <string>
#include <vector>

namespace qarvel::bridge {

struct LinuxTool {
    std::wstring name;                // as the user calls it: chdman, ziso.py
    std::vector<std::string> command; // the Unix command line the arguments are added to
    struct Need {
        std::string unixPath;
        std::wstring hint;
    };
    std::vector<Need> needs; // files that must exist for the command to run
};

// The tool for a bridge named chdman.exe, ziso.py.exe or python.exe (letter case aside);
// nothing for any other name. QARVEL_CHDMAN and QARVEL_ZISO_PY name another Unix path for
// chdman or ziso.py. As python.exe it runs Debian's python3, the program that .py files are
// opened with in the test prefix.
std::optional<LinuxTool> ToolFor(const std::wstring &programName);

// An argument is a path when it looks like a drive or UNC path, when it holds a separator and
// its folder exists, or when a file or folder of that name exists; options and other words
// stay as they are. nullopt, with failed set, when a path cannot be mapped.
std::optional<std::vector<std::string>> MapArguments(const WinePaths &wine,
                                                     const std::vector<std::wstring> &arguments,
                                                     std::wstring &failed);

} // namespace qarvel::bridge
