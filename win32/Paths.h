#pragma once
// Full paths and the long-path forms of the Win32 file functions.

#include "PathText.h"

#include <string>

namespace qarvel::win32 {

// The full form of a path ("." and ".." resolved, "/" turned into "\", relative paths made
// absolute); empty when the system cannot make it full.
std::wstring FullPath(const std::wstring &path);

// The path in the form that lifts the MAX_PATH limit: made full and normalised, then given
// the \\?\ prefix (\\?\UNC\ for \\server\share paths). A path that already has a \\?\ or
// \\.\ prefix, and one the system cannot make full, is returned unchanged.
std::wstring ExtendedLengthPath(const std::wstring &path);

} // namespace qarvel::win32
