#pragma once
// Where the running program lies.

#include <string>

namespace qarvel::host {

// The folder of the running executable: no trailing separator except at a drive root
// ("C:\"), no \\?\ prefix. Empty when the system cannot tell.
std::wstring ProgramDirectory();

// The folder part of an executable's full path by the same rules:
//   C:\tools\Qarvel.exe -> C:\tools
//   C:\Qarvel.exe -> C:\ (the drive root)
//   \\?\C:\tools\Qarvel.exe -> C:\tools
//   \\?\UNC\srv\share\Qarvel.exe -> \\srv\share
std::wstring DirectoryOfExecutable(std::wstring path);

// The working directory, in the same form.
std::wstring WorkingDirectory();

} // namespace qarvel::host
