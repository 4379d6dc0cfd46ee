#pragma once
// Which program Windows opens a type of file with.

#include "actions/HostServices.h"

#include <string>

namespace qarvel::host {

// How files with the extension (".py") are opened: what cmd.exe starts for a command line
// that names such a file, the user's own choice first. When the system cannot be asked, some
// program is taken to open them, so that Qarvel never stands in the way on its own account.
Opener OpenerOf(const std::wstring &extension);

} // namespace qarvel::host
