#include "FolderBrowser.h"

#include "actions/Texts.h"
#include "DirectoryPaths.h"
#include "win32/ErrorText.h"

namespace qarvel::window {

void FolderBrowser::Attach(HWND folders, HWND drives, HWND files)
{
    folders_.Attach(folders);
    drives_.Attach(drives);
    files_.Attach(files);
}

void FolderBrowser::Open(const std::wstring &directory)
{
    const std::wstring normal = NormalDirectory(directory);
    const FolderEntries entries = ReadFolder(normal);
    if (entries.error != ERROR_SUCCESS) {
        folders_.HighlightOpenDirectory();
        drives_.ShowDriveOf(folders_.OpenDirectory());
        ReportFolderError(normal, entries.error);
        return;
    }
    folders_.Open(normal, entries.folders);
    // The directory-change handling: the file list lists the directory now highlighted, the
    // one just opened, from the same reading.
    ShowFiles(normal, entries);
    drives_.ShowDriveOf(normal);
}

void FolderBrowser::Refresh()
{
    const std::wstring open = folders_.OpenDirectory(); // a copy: opening replaces it
    if (!open.empty()) {
        Open(open);
    }
}

void FolderBrowser::OpenChosenDrive()
{
    const std::wstring root = drives_.SelectedRoot();
    if (!root.empty()) {
        Open(root);
    }
}

void FolderBrowser::ShowFiles(const std::wstring &directory, const FolderEntries &entries)
{
    const DWORD error = files_.Show(directory, entries);
    if (error != ERROR_SUCCESS) {
        ReportFolderError(directory, error);
    }
}

void FolderBrowser::ReportFolderError(const std::wstring &folder, DWORD error)
{
    host_.ShowMessageBox(Fill(texts::FolderUnreadable, {folder, win32::DescribeError(error)}),
                         MessageStyle::Critical);
}

} // namespace qarvel::window
