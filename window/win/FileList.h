#pragma once
// The file list: the bare names of the files in one directory, no subdirectories, no hidden or
// system files, at most one selected. FolderBrowser reads the folder; the list shows what was
// read, and scrolls sideways as far as its widest name reaches.

#include "Controls.h"
#include "FolderReader.h"

#include <string>
#include <vector>

namespace qarvel::window {

class FileList {
public:
    void Attach(HWND handle) { list_ = ListBox(handle); }

    // Shows the names of the directory's files (read by FolderBrowser) and clears the selection.
    // Gives ERROR_NOT_ENOUGH_MEMORY when the list could not take them all.
    DWORD Show(const std::wstring &directory, const FolderEntries &entries);

    // Measures the names again in the list's font, after the font changed.
    void FitNames();

    const std::wstring &Directory() const { return directory_; }
    // The selected name; empty when nothing is selected.
    std::wstring SelectedName() const;
    void ClearSelection() { list_.Select(-1); }

private:
    void FitWidest(const std::vector<std::wstring> &names);

    ListBox list_;
    std::wstring directory_;
};

} // namespace qarvel::window
