#pragma once
// Windows paths worked on as text alone, portable: their prefixes, the root of a path, the
// tidy form with no trailing separator except at a root, the chain of ancestors, the name the
// folder list shows, a name in a folder. Nothing here asks the file system: Paths.h makes a
// path full.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qarvel::win32 {

inline constexpr std::wstring_view UncPrefix = L"\\\\";
inline constexpr std::wstring_view ExtendedPrefix = L"\\\\?\\";
inline constexpr std::wstring_view ExtendedUncPrefix = L"\\\\?\\UNC\\";
inline constexpr std::wstring_view DevicePrefix = L"\\\\.\\";

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

// The path of a name in a folder: one separator between them, none added after a root's own
// ("C:\" and "x" give "C:\x").
std::wstring PathInFolder(const std::wstring &folder, const std::wstring &name);

// The ordinary form of a path that may carry the \\?\ or \\?\UNC\ prefix.
std::wstring WithoutExtendedPrefix(std::wstring path);

} // namespace qarvel::win32
