#pragma once
// The folder list: the open directory's ancestors, the open directory and its subdirectories,
// one per line, indented by depth. Each item's text is the folder's own name ("C:\" for a
// root), so typing a name's first letters finds it and a screen reader reads names; its item
// data is its depth, and the full paths are kept beside the list. A click only highlights; a
// double click or Enter, which the window takes, opens the highlighted folder through
// FolderBrowser.

#include "Controls.h"

#include <string>
#include <vector>

namespace qarvel::window {

class FolderList {
public:
    void Attach(HWND handle) { list_ = ListBox(handle); }
    HWND Handle() const { return list_.Handle(); }

    // Makes the directory the open one, listed with its subfolders (read by FolderBrowser), and
    // highlights it.
    void Open(const std::wstring &directory, const std::vector<std::wstring> &subfolders);
    const std::wstring &OpenDirectory() const { return open_; }
    // Highlights the open directory again (after a failed open).
    void HighlightOpenDirectory();

    // The full path of the highlighted entry; the open directory when none is highlighted.
    std::wstring Highlighted() const;

    void SetItemHeight(int height) { list_.SetItemHeight(height); }
    void Draw(const DRAWITEMSTRUCT &item, UINT dpi) const;

private:
    ListBox list_;
    std::vector<std::wstring> paths_; // the full path of each item, in list order
    std::wstring open_;
    int openIndex_ = -1;
};

} // namespace qarvel::window
