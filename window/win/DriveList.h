#pragma once
// The drive list: the machine's drives, each shown as its root ("C:\").

#include "Controls.h"

#include <string>

namespace qarvel::window {

class DriveList {
public:
    void Attach(HWND handle) { box_ = ComboBox(handle); }

    // Lists the drives the system reports now. False when it reports none.
    bool Fill();
    // The root of the chosen drive; empty when none is chosen.
    std::wstring SelectedRoot() const;
    // Chooses the drive that holds the directory, or none when it is not in the list.
    void ShowDriveOf(const std::wstring &directory);

    // Keeps the closed box at the given height: the selection field takes what its frame
    // leaves.
    void SetClosedHeight(int height);

private:
    ComboBox box_;
};

} // namespace qarvel::window
