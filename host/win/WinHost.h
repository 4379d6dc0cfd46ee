#pragma once
// The host services on Windows: processes, message boxes, clipboard and file system, each
// done by the function of the same name in this folder.

#include "actions/HostServices.h"
#include "TaskWatch.h"

#include <windows.h>

#include <optional>

namespace qarvel::host {

// A watched process that has ended, and its exit code; none when it could not be read.
struct EndedTask {
    TaskNumber task = NoTask;
    std::optional<ExitCode> code;
};

class WinHost final : public HostServices {
public:
    WinHost() = default;

    // The window that message boxes are modal to and that owns the clipboard text. The host
    // is made before its window, so it is set afterwards; until then boxes have no owner.
    void SetOwnerWindow(HWND owner) { owner_ = owner; }

    // The processes started with LaunchWatchedCommand that have not been taken out as ended.
    TaskWatch &Tasks() { return watch_; }
    // Takes the process at the index, which has ended, out of the watch, with its exit code.
    EndedTask TakeEnded(size_t index);

    TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) override;
    Launched LaunchWatchedCommand(const std::wstring &commandLine, ShowMode mode,
                                  Watch watch) override;
    Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) override;
    bool SetClipboardText(const std::wstring &text) override;
    bool FileExists(const std::wstring &path) override;
    bool PathExists(const std::wstring &path) override;
    std::optional<std::uint64_t> FileSize(const std::wstring &path) override;
    bool IsFileInUse(const std::wstring &path) override;
    bool RemoveFile(const std::wstring &path) override;
    bool CanWriteInFolder(const std::wstring &folder) override;
    Opener OpenerOf(const std::wstring &extension) override;
    TextFile ReadTextFile(const std::wstring &path, std::uint64_t limit) override;
    std::vector<std::wstring> FilesIn(const std::wstring &folder,
                                      const std::wstring &pattern) override;
    Renamed RenameFile(const std::wstring &path, const std::wstring &newName) override;
    std::optional<DiskRoom> RoomOnDisk(const std::wstring &folder) override;
    std::wstring ProgramDirectory() override;
    std::wstring WorkingDirectory() override;
    bool IsEnvironmentVariable(const std::wstring &name) override;
    std::uint64_t Milliseconds() override;

private:
    HWND owner_ = nullptr;
    TaskWatch watch_;
};

} // namespace qarvel::host
