#pragma once
// Directory paths as the lists show them, worked on as text alone: the root of a path, the
// tidy form with no trailing separator except at a root, the chain of ancestors, the name an
// entry shows. Nothing here asks the file system; the window makes paths full first.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qarvel::window {

// Length of the root part: "C:\dir" gives 3 ("C:\"), "C:" 2, "\dir" 1 ("\"),
// "\\server\share\dir" the length of "\\server\share", "\\?\C:\dir" 7 ("\\?\C:\"),
// "\\?\UNC\server\share\dir" the length of "\\?\UNC\server\share"; a relative path 0.
std::size_t RootLength(std::wstring_view path);

// "/" turned into "\", trailing separators dropped down to the root, and a bare drive ("C:",
// "\\?\C:") given its root's separator. Nothing else is resolved.
std::wstring TidyDirectory(std::wstring path);

// True for a path that is all root: "C:\", "\\server\share", "\\?\C:\", "\".
bool IsRootDirectory(std::wstring_view directory);

// The root and every directory down to the given one, the given one last.
std::vector<std::wstring> DirectoryChain(const std::wstring &directory);

// What the list shows for a directory: its own name, or the whole root ("C:\").
std::wstring DirectoryDisplayName(const std::wstring &directory);

// The directory joined with a name inside it.
std::wstring ChildPath(const std::wstring &directory, const std::wstring &name);

} // namespace qarvel::window
