#pragma once
// Which program Windows opens a type of file with.

#include <string>

namespace qarvel::host {

// True when a program is set to open files with the extension (".py"): what cmd.exe starts
// for a command line that names such a file. Also true when the system cannot be asked, so
// that Qarvel never stands in the way on its own account.
bool HasOpenCommand(const std::wstring &extension);

} // namespace qarvel::host
