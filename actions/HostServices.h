#pragma once
// The operations the program needs from the host system. The Windows implementation lives
// in host/win; the unit tests provide a recording fake.

#include <string>

namespace qarvel {

// How a started command's window is shown: minimised, and it becomes the active window.
enum class ShowMode : int { ShowMinimisedWithFocus = 2 };

// Message box styles.
enum class MessageStyle : int {
    OkOnly = 0,    // OK button, no icon
    YesNo = 4,     // Yes and No buttons, no icon
    Critical = 16, // OK button with the stop icon
    Warning = 48   // OK button with the exclamation icon
};

// Message box answers.
enum class Answer : int { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

// The number of a started process; 0 when nothing could be started.
using TaskNumber = unsigned long;
inline constexpr TaskNumber NoTask = 0;

// How a started process ended; cmd.exe ends with the code of what it ran, and with
// NotRecognized when it found nothing by that name.
using ExitCode = unsigned long;
inline constexpr ExitCode NotRecognized = 9009;

// How many started processes the host keeps watch over at once, at the least.
inline constexpr unsigned MostWatchedTasks = 63;

class HostServices {
public:
    HostServices() = default;
    HostServices(const HostServices &) = delete;
    HostServices &operator=(const HostServices &) = delete;
    virtual ~HostServices() = default;

    // Starts the command line as a new process and returns at once, without waiting.
    // The process inherits the program's working directory. Gives NoTask on failure.
    virtual TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) = 0;

    // Starts the command line as LaunchCommand does and keeps watch over the process: when it
    // ends, the program's message loop hands its task number and exit code to
    // ImageActions::OnTaskEnded, never while another handling runs. Gives NoTask when nothing
    // could be started. Closing the program leaves the process running.
    virtual TaskNumber LaunchWatchedCommand(const std::wstring &commandLine, ShowMode mode) = 0;

    // A modal message box captioned "Qarvel"; the first button is the default.
    virtual Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) = 0;

    // Replaces the clipboard's text. False when the clipboard could not be written.
    virtual bool SetClipboardText(const std::wstring &text) = 0;

    // True when a file, not a directory, exists at the full path (host's rules for names).
    virtual bool FileExists(const std::wstring &path) = 0;

    // True when a file or a folder exists at the full path.
    virtual bool PathExists(const std::wstring &path) = 0;

    // The directory holding the program's executable, no trailing separator except at a
    // drive root.
    virtual std::wstring ProgramDirectory() = 0;

    // True when an environment variable of this name is set for the programs started.
    virtual bool IsEnvironmentVariable(const std::wstring &name) = 0;
};

} // namespace qarvel
