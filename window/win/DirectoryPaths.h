#pragma once
// Directory paths as the directory list shows them: full, with no trailing separator except
// at a drive root ("C:\"), split into the chain of their ancestors.

#include <string>
#include <vector>

namespace qarvel::win {

// The full form of a directory path ("." and ".." resolved, "/" turned into "\"), with no
// trailing separator except at a drive root; "C:" becomes "C:\".
std::wstring NormalDirectory(const std::wstring &path);

// True for "C:\" and for a share's root "\\server\share".
bool IsRootDirectory(const std::wstring &directory);

// The root and every directory down to the given one, the given one last.
std::vector<std::wstring> DirectoryChain(const std::wstring &directory);

// What the list shows for a directory: its own name, or the whole root ("C:\").
std::wstring DirectoryDisplayName(const std::wstring &directory);

// The directory joined with a name inside it.
std::wstring ChildPath(const std::wstring &directory, const std::wstring &name);

} // namespace qarvel::win
