#pragma once
// Identity of the main window and its controls, shared by the window, its tests and the
// outside driver that works the built program.

namespace qarvel::window::ids {

inline constexpr const wchar_t *MainWindowClass = L"QarvelMainWindow";

enum Control : int {
    FileLabel = 101,      // the file the compress button last took (static)
    CompressButton = 102, // compresses the selected image (button)
    AuthorLabel = 103,    // the maker, opens the site (static)
    CompanyLabel = 104,   // the maker's company, opens the site (static)
    FolderList = 105,     // the open folder's ancestors, itself and its subfolders (list box;
                          // each entry's text is the folder's shown name, its item data the
                          // folder's depth below the root, which is 0)
    DriveList = 106,      // the machine's drives (drop-down combo box)
    FileList = 107,       // the open folder's files (list box of bare file names)
    ChdBox = 108,         // the CHD format (check box)
    ZsoBox = 109,         // the ZSO format (check box)
    Lz4Label = 110,       // installs the Python package ziso.py needs (static)
    ConvertButton = 111,  // starts the converter beside the program (button)
};

// The window's own commands, from its keys.
enum Command : int {
    Refresh = 120, // F5: the open folder read again in both lists
};

} // namespace qarvel::window::ids
