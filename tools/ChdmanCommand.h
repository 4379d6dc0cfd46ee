#pragma once
// The Linux command the bridge runs for its own command line: the chdman to start and the
// arguments, with every Windows path turned into the Unix path Wine maps it to.

#include "WinePaths.h"

#include <string>
#include <vector>

namespace qarvel::bridge {

struct ChdmanCommand {
    std::string tool;
    std::vector<std::string> arguments;
    std::wstring error; // set when an argument cannot be converted; nothing is run then
};

// The Linux chdman: /usr/bin/chdman, or the one QARVEL_CHDMAN names (a Unix path when it
// starts with "/", a Windows path otherwise).
ChdmanCommand ComposeChdmanCommand(const WinePaths &wine,
                                   const std::vector<std::wstring> &arguments);

} // namespace qarvel::bridge
