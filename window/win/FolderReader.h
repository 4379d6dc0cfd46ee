#pragma once
// Reads the names in one folder: either its files or its subfolders, never hidden or system
// entries, sorted without regard to letter case.

#include <windows.h>

#include <string>
#include <vector>

namespace qarvel::win {

enum class EntryKind { Files, Folders };

struct FolderEntries {
    std::vector<std::wstring> names;
    DWORD error = ERROR_SUCCESS; // why the folder could not be read
    std::size_t totalLength = 0; // sum of the names' lengths, for sizing a list
};

// Never raises the system's critical-error box: a drive that is not ready gives an error.
FolderEntries ReadFolder(const std::wstring &directory, EntryKind kind);

// Sorts names in the order a person expects: letter case ignored, then ordinal.
void SortNames(std::vector<std::wstring> &names);

} // namespace qarvel::win
