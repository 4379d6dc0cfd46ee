// Form1's controls as the actions see them, and opening directories in the two lists.

#include "Form1.h"

#include "DirectoryPaths.h"
#include "win32/ErrorText.h"
#include "WindowTexts.h"

namespace qarvel::window {

void Form1::OpenDirectory(const std::wstring &directory)
{
    const std::wstring normal = NormalDirectory(directory);
    const FolderEntries entries = ReadFolder(normal);
    if (entries.error != ERROR_SUCCESS) {
        dir1_.HighlightOpenDirectory();
        drive1_.ShowDriveOf(dir1_.OpenDirectory());
        ReportFolderError(normal, entries.error);
        return;
    }
    dir1_.Open(normal, entries.folders);
    // The directory-change handling lists this same folder in File1: one read fills both
    // lists, and the handling finds File1 filled.
    ShowFiles(normal, entries);
    fileListJustFilled_ = true;
    actions_.OnDirectoryChanged();
    fileListJustFilled_ = false;
    drive1_.ShowDriveOf(normal);
}

void Form1::ShowFiles(const std::wstring &directory, const FolderEntries &entries)
{
    const DWORD error = file1_.Show(directory, entries);
    if (error != ERROR_SUCCESS) {
        ReportFolderError(directory, error);
    }
}

void Form1::ReportFolderError(const std::wstring &folder, DWORD error)
{
    host_.ShowMessageBox(texts::FolderUnreadable(folder, win32::DescribeError(error)),
                         MessageStyle::Critical);
}

std::wstring Form1::ReadSelectedFile()
{
    return file1_.SelectedName();
}

std::wstring Form1::ReadFileListDirectory()
{
    return file1_.Directory();
}

void Form1::SetFileListDirectory(const std::wstring &directory)
{
    const std::wstring normal = NormalDirectory(directory);
    if (fileListJustFilled_ && normal == file1_.Directory()) {
        file1_.ClearSelection();
        return;
    }
    const FolderEntries entries = ReadFolder(normal);
    if (entries.error != ERROR_SUCCESS) {
        // File1 keeps its directory and what it showed.
        file1_.ClearSelection();
        ReportFolderError(normal, entries.error);
        return;
    }
    ShowFiles(normal, entries);
}

void Form1::RereadFileList()
{
    file1_.ClearSelection();
    const std::wstring directory = file1_.Directory();
    if (directory.empty() || fileListJustFilled_) {
        return;
    }
    const FolderEntries entries = ReadFolder(directory);
    if (entries.error != ERROR_SUCCESS) {
        ReportFolderError(directory, entries.error);
        return;
    }
    ShowFiles(directory, entries);
}

std::wstring Form1::ReadHighlightedDirectory()
{
    return dir1_.Highlighted();
}

void Form1::SetOpenDirectory(const std::wstring &directory)
{
    OpenDirectory(directory);
}

void Form1::SetFileLabel(const std::wstring &caption)
{
    Control(Child(ids::Label1)).SetText(caption);
    // The label fits its new caption.
    PlaceControl(LayoutOf(ids::Label1));
}

Tick Form1::ReadTick(FormatBox box)
{
    return Box(box).IsChecked() ? Tick::Ticked : Tick::Unticked;
}

void Form1::SetTick(FormatBox box, Tick value)
{
    Box(box).SetChecked(value == Tick::Ticked);
}

void Form1::SetEnabled(FormatBox box, bool enabled)
{
    Box(box).Enable(enabled);
}

void Form1::FlashUntilActive()
{
    if (::GetForegroundWindow() == window_) {
        return;
    }
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = window_;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    ::FlashWindowEx(&flash);
}

} // namespace qarvel::window
