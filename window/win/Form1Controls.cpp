// Form1's controls as the actions see them, and opening directories in the two lists.

#include "Form1.h"

#include "DirectoryPaths.h"
#include "win32/ErrorText.h"
#include "WindowTexts.h"

namespace qarvel::win {

void Form1::OpenDirectory(const std::wstring &directory)
{
    const std::wstring normal = NormalDirectory(directory);
    FolderEntries entries = ReadFolder(normal);
    if (entries.error != ERROR_SUCCESS) {
        dir1_.HighlightOpenDirectory();
        drive1_.ShowDriveOf(dir1_.OpenDirectory());
        ReportFolderError(normal, entries.error);
        return;
    }
    dir1_.Open(normal, entries.folders);
    // The directory-change handling runs at once and lists this same folder in File1.
    recent_ = RecentFolder{normal, std::move(entries)};
    Run(&ImageActions::OnDirectoryChanged);
    drive1_.ShowDriveOf(normal);
}

void Form1::ReportFolderError(const std::wstring &folder, DWORD error)
{
    recent_.reset();
    host_.ShowMessageBox(texts::FolderUnreadable(folder, DescribeError(error)),
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
    if (!recent_ || recent_->directory != normal) {
        FolderEntries entries = ReadFolder(normal);
        if (entries.error != ERROR_SUCCESS) {
            // File1 keeps its directory and what it showed.
            file1_.ClearSelection();
            ReportFolderError(normal, entries.error);
            return;
        }
        recent_ = RecentFolder{normal, std::move(entries)};
    }
    const DWORD error = file1_.Show(normal, recent_->entries);
    recent_->inFileList = error == ERROR_SUCCESS;
    if (error != ERROR_SUCCESS || handlingDepth_ == 0) {
        recent_.reset();
    }
    if (error != ERROR_SUCCESS) {
        ReportFolderError(normal, error);
    }
}

void Form1::RereadFileList()
{
    file1_.ClearSelection();
    const std::wstring &directory = file1_.Directory();
    if (directory.empty() || (recent_ && recent_->inFileList && recent_->directory == directory)) {
        return;
    }
    const FolderEntries entries = ReadFolder(directory);
    const DWORD error =
        entries.error != ERROR_SUCCESS ? entries.error : file1_.Show(directory, entries);
    if (error != ERROR_SUCCESS) {
        ReportFolderError(directory, error);
    }
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

} // namespace qarvel::win
