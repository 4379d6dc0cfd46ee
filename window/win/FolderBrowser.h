#pragma once
// The window's three lists as one: the folder list, the drive list and the file list, filled
// together from one reading of the open folder. The directory-change handling is theirs: right
// after a folder is opened, the file list lists it, with nothing selected.

#include "actions/HostServices.h"
#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "FolderReader.h"

#include <string>

namespace qarvel::window {

class FolderBrowser {
public:
    explicit FolderBrowser(HostServices &host) : host_(host) {}

    void Attach(HWND folders, HWND drives, HWND files);
    FolderList &Folders() { return folders_; }
    DriveList &Drives() { return drives_; }
    FileList &Files() { return files_; }
    const FolderList &Folders() const { return folders_; }
    const FileList &Files() const { return files_; }

    // Opens the directory in the folder list, shows its drive and lists its files, from one
    // reading; when it cannot be read, says why and leaves the lists as they were.
    void Open(const std::wstring &directory);
    // The folder highlighted; the open one read again (F5); the root of the drive chosen.
    void OpenHighlighted() { Open(folders_.Highlighted()); }
    void Refresh();
    void OpenChosenDrive();

private:
    // Shows the entries in the file list; says why when it cannot.
    void ShowFiles(const std::wstring &directory, const FolderEntries &entries);
    void ReportFolderError(const std::wstring &folder, DWORD error);

    HostServices &host_;
    FolderList folders_;
    DriveList drives_;
    FileList files_;
};

} // namespace qarvel::window
