#pragma once
// Directory paths as the lists keep them: full, with no trailing separator except at a root
// ("C:\"). The text work is portable (win32/PathText.h); making a path full asks the system.

#include "win32/PathText.h"

#include <string>

namespace qarvel::window {

// The full form of a directory path ("." and ".." resolved, relative paths made absolute),
// tidied: "/" turned into "\", no trailing separator except at a root; "C:" is "C:\".
std::wstring NormalDirectory(const std::wstring &path);

} // namespace qarvel::window
