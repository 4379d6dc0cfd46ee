#pragma once
// File1: the bare names of the files in one directory, no subdirectories, no hidden or system
// files, at most one selected.

#include "Controls.h"

#include <string>

namespace qarvel::win {

class FileList {
public:
    void Attach(HWND handle) { list_ = ListBox(handle); }
    HWND Handle() const { return list_.Handle(); }

    // Lists the files of the directory and clears the selection. When the directory cannot be
    // read, the list keeps its directory and what it showed, and the error is given back.
    DWORD Show(const std::wstring &directory);
    // Reads the directory again; the same rules as Show.
    DWORD Reread() { return Show(directory_); }

    const std::wstring &Directory() const { return directory_; }
    // The selected name; empty when nothing is selected.
    std::wstring SelectedName() const;
    void ClearSelection() { list_.Select(-1); }

private:
    ListBox list_;
    std::wstring directory_;
};

} // namespace qarvel::win
