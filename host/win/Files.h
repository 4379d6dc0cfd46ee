#pragma once
// Asking the file system about a path.

#include <string>

namespace qarvel::host {

// True when a file, not a directory, exists at the path. Letter case does not matter, as
// everywhere on Windows; paths of any length work.
bool IsExistingFile(const std::wstring &path);

// True when a file or a folder exists at the path, by the same rules.
bool IsExistingPath(const std::wstring &path);

} // namespace qarvel::host
