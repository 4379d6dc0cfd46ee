#pragma once
// Asking the file system about a path.

#include <string>

namespace qarvel::win {

// True when a file, not a directory, exists at the path. Letter case does not matter, as
// everywhere on Windows; paths of any length work.
bool IsExistingFile(const std::wstring &path);

// The path in the form that lifts the MAX_PATH limit: made full and normalised, then given
// the \\?\ prefix (\\?\UNC\ for \\server\share paths). A path that already has a \\?\ or
// \\.\ prefix, and one the system cannot make full, is returned unchanged.
std::wstring ExtendedLengthPath(const std::wstring &path);

} // namespace qarvel::win
