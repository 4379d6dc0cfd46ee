#pragma once
// The shell script through which the bridge runs the Linux chdman, and the status it leaves.
// Wine cannot wait for a Linux process nor read its exit code, so the script writes the
// tool's output to files the bridge follows and, at the end, its exit status to a file that
// appears complete in one step (written beside it, then renamed).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qarvel::bridge {

// Names of the files in the private folder the script runs in (ASCII only).
namespace files {
inline constexpr std::string_view Script = "run.sh";
inline constexpr std::string_view ShellPid = "shell.pid";
inline constexpr std::string_view Heartbeat = "heartbeat";
inline constexpr std::string_view WatchMark = "watch.mark";
inline constexpr std::string_view Output = "output.log";
inline constexpr std::string_view Errors = "errors.log";
inline constexpr std::string_view Status = "status";
} // namespace files

// The bridge writes to its heartbeat file more often than this; when a whole period passes
// without a beat, the bridge is gone (its window closed, Ctrl+C, killed): the script then stops
// the tool, which nobody would see any more, and removes the folder itself.
inline constexpr int DefaultWatchSeconds = 3;

// The status file's word for "the tool is not there or cannot be executed".
inline constexpr std::string_view MissingToolStatus = "missing";

// Everything in Unix form, as bytes for the file system and argv.
struct RunRequest {
    std::string folder; // the private folder, absolute, no trailing slash
    std::string tool;   // the executable, absolute
    std::vector<std::string> arguments;
    int watchSeconds = DefaultWatchSeconds;
};

std::string ComposeRunScript(const RunRequest &request);

struct RunStatus {
    enum class Kind { Exited, ToolMissing };
    Kind kind = Kind::Exited;
    int code = 0;
};

// Reads the status file's text; nullopt when it holds neither an exit code nor the word for
// a missing tool.
std::optional<RunStatus> ParseRunStatus(std::string_view text);

// Reads the shell's process id from its file; nullopt when the text is no positive number.
std::optional<unsigned long> ParsePid(std::string_view text);

// Whether the text of /proc/<pid>/stat shows a process that has ended but is not yet reaped
// (a zombie, or dead); such a process stays in /proc as long as nobody waits for it.
bool StatShowsEnded(std::string_view stat);

} // namespace qarvel::bridge
