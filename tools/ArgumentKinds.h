#pragma once
// Which arguments of a chdman command line name files: those must be turned into the Unix
// paths Wine maps them to, everything else passes unchanged.

#include <string>
#include <string_view>
#include <vector>

namespace qarvel::bridge {

enum class ArgumentKind { Word, Path };

// True for a drive path (C:\..., d:/...) and a UNC or device path (\\server\share, \\?\...).
bool LooksLikeWindowsPath(std::wstring_view argument);

// Classifies each argument of a chdman command line (the program name not included): the value
// of a file option (-i, --output, ...) is a path, the value of any other option is a word, and
// a free-standing argument is a path when it looks like one. A value that starts with "-" is
// the next option, as chdman reads it, never a path.
std::vector<ArgumentKind> ClassifyArguments(const std::vector<std::wstring> &arguments);

} // namespace qarvel::bridge
