#include "WinHost.h"

#include "actions/Texts.h"
#include "Clipboard.h"
#include "Files.h"
#include "FileTypes.h"
#include "Launch.h"
#include "ProgramDirectory.h"
#include "win32/ErrorText.h"

namespace qarvel::host {

namespace {

UINT BoxStyle(MessageStyle style)
{
    switch (style) {
    case MessageStyle::YesNo:
        return MB_YESNO;
    case MessageStyle::Critical:
        return MB_OK | MB_ICONSTOP;
    case MessageStyle::Warning:
        return MB_OK | MB_ICONWARNING;
    case MessageStyle::WarningYesNo:
        return MB_YESNO | MB_ICONWARNING;
    case MessageStyle::YesNoNoFirst:
        return MB_YESNO | MB_DEFBUTTON2;
    case MessageStyle::OkOnly:
        break;
    }
    return MB_OK;
}

} // namespace

EndedTask WinHost::TakeEnded(size_t index)
{
    const StartedTask ended = watch_.Take(index);
    DWORD code = 0;
    if (!::GetExitCodeProcess(ended.process.get(), &code)) {
        win32::TraceFailure(L"GetExitCodeProcess", ::GetLastError());
        return {ended.task, std::nullopt};
    }
    return {ended.task, code};
}

TaskNumber WinHost::LaunchCommand(const std::wstring &commandLine, ShowMode mode)
{
    return host::LaunchCommand(commandLine, mode).task; // the handle closes here
}

Launched WinHost::LaunchWatchedCommand(const std::wstring &commandLine, ShowMode mode, Watch watch)
{
    if (!watch_.HasRoom(watch)) {
        win32::TraceFailure(L"watching a started process", ERROR_TOO_MANY_OPEN_FILES);
        // What must be watched is not started at all.
        return {watch == Watch::Always ? NoTask : LaunchCommand(commandLine, mode), false};
    }
    StartedTask started = host::LaunchCommand(commandLine, mode);
    const TaskNumber task = started.task;
    if (task == NoTask) {
        return {};
    }
    watch_.Add(std::move(started));
    return {task, true};
}

Answer WinHost::ShowMessageBox(const std::wstring &prompt, MessageStyle style)
{
    // The first button is the default unless the style says otherwise.
    const int answer =
        ::MessageBoxW(owner_, prompt.c_str(), texts::MessageBoxCaption, BoxStyle(style));
    switch (answer) {
    case IDYES:
        return Answer::AnswerYes;
    case IDNO:
        return Answer::AnswerNo;
    case IDOK:
        return Answer::AnswerOk;
    default:
        break;
    }
    // No box could be shown: nobody said Yes, so nothing goes ahead.
    win32::TraceFailure(L"MessageBoxW", ::GetLastError());
    return (BoxStyle(style) & MB_YESNO) != 0 ? Answer::AnswerNo : Answer::AnswerOk;
}

bool WinHost::SetClipboardText(const std::wstring &text)
{
    return host::SetClipboardText(owner_, text);
}

bool WinHost::FileExists(const std::wstring &path)
{
    return host::FileExists(path);
}

bool WinHost::PathExists(const std::wstring &path)
{
    return host::PathExists(path);
}

std::optional<std::uint64_t> WinHost::FileSize(const std::wstring &path)
{
    return host::FileSize(path);
}

bool WinHost::IsFileInUse(const std::wstring &path)
{
    return host::IsFileInUse(path);
}

bool WinHost::RemoveFile(const std::wstring &path)
{
    return host::RemoveFile(path);
}

bool WinHost::CanWriteInFolder(const std::wstring &folder)
{
    return host::CanWriteInFolder(folder);
}

Opener WinHost::OpenerOf(const std::wstring &extension)
{
    return host::OpenerOf(extension);
}

TextFile WinHost::ReadTextFile(const std::wstring &path, std::uint64_t limit)
{
    return host::ReadTextFile(path, limit);
}

std::vector<std::wstring> WinHost::FilesIn(const std::wstring &folder, const std::wstring &pattern)
{
    return host::FilesIn(folder, pattern);
}

Renamed WinHost::RenameFile(const std::wstring &path, const std::wstring &newName)
{
    return host::RenameFile(path, newName);
}

std::optional<DiskRoom> WinHost::RoomOnDisk(const std::wstring &folder)
{
    return host::RoomOnDisk(folder);
}

std::wstring WinHost::ProgramDirectory()
{
    return host::ProgramDirectory();
}

std::wstring WinHost::WorkingDirectory()
{
    return host::WorkingDirectory();
}

bool WinHost::IsEnvironmentVariable(const std::wstring &name)
{
    // The size asked for is 0, so a set variable answers with the size it needs.
    return ::GetEnvironmentVariableW(name.c_str(), nullptr, 0) > 0;
}

std::uint64_t WinHost::Milliseconds()
{
    return ::GetTickCount64();
}

} // namespace qarvel::host
