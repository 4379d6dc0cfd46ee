#pragma once
// Reads the names in one folder in a single pass: its files and its subfolders, never hidden
// or system entries, each sorted without regard to letter case.

#include <windows.h>

#include <string>
#include <vector>

namespace qarvel::window {

struct FolderEntries {
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
    std::size_t filesLength = 0; // sum of the file names' lengths, for sizing a list
    DWORD error = ERROR_SUCCESS; // why the folder could not be read
};

// Never raises the system's critical-error box: a drive that is not ready gives an error.
FolderEntries ReadFolder(const std::wstring &directory);

} // namespace qarvel::window
