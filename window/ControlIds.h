#pragma once
// Identity of the main window and its controls, shared by the window, its tests and the
// outside driver that works the built program.

namespace qarvel::window::ids {

inline constexpr const wchar_t *Form1Class = L"QarvelForm1";

enum Control : int {
    Label1 = 101,   // the file label (static)
    Command1 = 102, // " iSO", compress (button)
    Label2 = 103,   // author label (static)
    Label3 = 104,   // company label (static)
    Dir1 = 105,     // directory list (list box; each entry's text is the folder's shown name,
                    // its item data the folder's depth below the root, which is 0)
    Drive1 = 106,   // drive list (drop-down combo box)
    File1 = 107,    // file list (list box of bare file names)
    Check1 = 108,   // "CHD" (check box)
    Check2 = 109,   // "ZSO" (check box)
    Label4 = 110,   // "pip install lz4" (static)
    Command2 = 111, // "BIN2ISO", convert (button)
};

} // namespace qarvel::window::ids
