#pragma once
// The operations the program needs from the host system. The Windows implementation lives
// in host/win; the unit tests provide a recording fake.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qarvel {

// How a started command's window is shown: minimised, and it becomes the active window.
enum class ShowMode { ShowMinimisedWithFocus };

// Message box styles: the buttons and the icon.
enum class MessageStyle {
    OkOnly,       // OK button, no icon
    YesNo,        // Yes and No buttons, no icon
    Critical,     // OK button with the stop icon
    Warning,      // OK button with the exclamation icon
    WarningYesNo, // Yes and No buttons with the exclamation icon
    YesNoNoFirst  // Yes and No buttons, no icon, No the default button
};

// Message box answers.
enum class Answer { AnswerOk, AnswerYes, AnswerNo };

// The number of a started process; 0 when nothing could be started.
using TaskNumber = unsigned long;
inline constexpr TaskNumber NoTask = 0;

// How a started process ended: its exit code.
using ExitCode = unsigned long;

// How much a watch over a started process matters. The host watches only so many at once:
// Always is for the compressions, which must be watched, IfRoom for the rest, which leave
// room for them.
enum class Watch { Always, IfRoom };

// A command started with LaunchWatchedCommand, and whether the host keeps watch over it.
struct Launched {
    TaskNumber task = NoTask;
    bool watched = false;
};

// How files of a type are opened, as far as the system tells.
struct Opener {
    bool found = false;    // some program is set to open them
    bool packaged = false; // through a packaged app: its type's name begins with "AppX"
    std::wstring command;  // the open command, "%1" and all; empty when it cannot be read
};

// A small text file, read whole.
struct TextFile {
    enum class Status { Read, TooLarge, Unreadable };
    Status status = Status::Unreadable;
    std::wstring text;          // as UTF-8 when it is valid UTF-8, else in the ANSI code page
    bool byteOrderMark = false; // it starts with UTF-8's byte-order mark (not in text)
};

// The disk a folder lies on and the room left there for this user.
struct DiskRoom {
    std::wstring disk; // its root, "C:\"
    std::uint64_t free = 0;
};

// How a rename went.
enum class Renamed { Done, NameTaken, Failed };

class HostServices {
public:
    HostServices() = default;
    HostServices(const HostServices &) = delete;
    HostServices &operator=(const HostServices &) = delete;
    virtual ~HostServices() = default;

    // Starts the command line as a new process and returns at once, without waiting.
    // The process inherits the program's working directory. Gives NoTask on failure.
    virtual TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) = 0;

    // Starts the command line as LaunchCommand does and, when it can, keeps watch over the
    // process: when a watched one ends, the program's message loop hands its task number and
    // exit code to ImageActions::OnTaskEnded, never while another handling runs. With
    // Watch::Always nothing is started unless it is watched; with Watch::IfRoom it runs
    // unwatched when the watch is full. Gives NoTask when nothing could be started. Closing
    // the program leaves the process running.
    virtual Launched LaunchWatchedCommand(const std::wstring &commandLine, ShowMode mode,
                                          Watch watch) = 0;

    // A modal message box captioned "Qarvel"; the first button is the default.
    virtual Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) = 0;

    // Replaces the clipboard's text. False when the clipboard could not be written.
    virtual bool SetClipboardText(const std::wstring &text) = 0;

    // True when a file, not a directory, exists at the full path (host's rules for names).
    virtual bool FileExists(const std::wstring &path) = 0;

    // True when a file or a folder exists at the full path.
    virtual bool PathExists(const std::wstring &path) = 0;

    // The size in bytes of the file at the full path; nothing when no file is there.
    virtual std::optional<std::uint64_t> FileSize(const std::wstring &path) = 0;

    // True when another program has the file open in a way that keeps others from opening it
    // alone (a tool still writing it).
    virtual bool IsFileInUse(const std::wstring &path) = 0;

    // Deletes the file, only when no other program has it open. False when it is still there.
    virtual bool RemoveFile(const std::wstring &path) = 0;

    // True when a new file can be made in the folder (tried with a file that is gone at once).
    virtual bool CanWriteInFolder(const std::wstring &folder) = 0;

    // How files with this extension (".py") are opened, as a command line naming such a file
    // is run through it; the user's own choice counts first.
    virtual Opener OpenerOf(const std::wstring &extension) = 0;

    // The file read whole when it holds at most `limit` bytes.
    virtual TextFile ReadTextFile(const std::wstring &path, std::uint64_t limit) = 0;

    // The names of the files in the folder that match the pattern ("*" for any text).
    virtual std::vector<std::wstring> FilesIn(const std::wstring &folder,
                                              const std::wstring &pattern) = 0;

    // Gives the file a new name in its folder, never replacing a file or folder of that name.
    virtual Renamed RenameFile(const std::wstring &path, const std::wstring &newName) = 0;

    // The disk of the folder and its room; nothing when the system cannot tell.
    virtual std::optional<DiskRoom> RoomOnDisk(const std::wstring &folder) = 0;

    // The directory holding the program's executable, no trailing separator except at a
    // drive root.
    virtual std::wstring ProgramDirectory() = 0;

    // The program's working directory, which the programs it starts inherit.
    virtual std::wstring WorkingDirectory() = 0;

    // True when an environment variable of this name is set for the programs started.
    virtual bool IsEnvironmentVariable(const std::wstring &name) = 0;

    // Milliseconds on a clock that only goes forward: the time between two readings.
    virtual std::uint64_t Milliseconds() = 0;
};

} // namespace qarvel
