#include "ShellRun.h"

#include "BridgeTexts.h"
#include "RunScript.h"
#include "Win32Text.h"

#include <optional>

namespace qarvel::bridge {

namespace {

constexpr int BridgeFailure = 1;
constexpr int ToolMissingCode = 127;
constexpr DWORD PollMilliseconds = 50;
constexpr ULONGLONG StartLimitMilliseconds = 10'000;
constexpr ULONGLONG AliveCheckMilliseconds = 500;

// Starts /bin/sh on the script, in the private folder; the process handles are of no use
// under Wine and are closed at once.
DWORD StartShell(const WinePaths &wine, const PrivateFolder &folder)
{
    const auto shell = wine.ToWindows("/bin/sh");
    if (!shell) {
        return ERROR_FILE_NOT_FOUND;
    }
    std::wstring commandLine =
        L"\"" + *shell + L"\" ./" + std::wstring(files::Script.begin(), files::Script.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(shell->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.Path().c_str(), &startup, &process)) {
        return ::GetLastError();
    }
    const win::UniqueHandle processHandle(process.hProcess);
    const win::UniqueHandle threadHandle(process.hThread);
    return ERROR_SUCCESS;
}

// Whether the Linux process still runs, seen through Wine's view of /proc; true when that
// cannot be told, so a missing /proc never ends a run early. A process whose parent does not
// reap it stays in /proc as a zombie, so its state counts, not only its presence.
bool ProcessAlive(const WinePaths &wine, unsigned long pid)
{
    const auto folder = wine.ToWindows("/proc/" + std::to_string(pid));
    if (!folder) {
        return true;
    }
    if (::GetFileAttributesW(folder->c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    const auto stat = ReadSmallFile(*folder + L"\\stat");
    return !stat || !StatShowsEnded(*stat);
}

class ShellWatch {
public:
    ShellWatch(const WinePaths &wine, const PrivateFolder &folder)
        : wine_(wine), pidFile_(folder.File(files::ShellPid)), started_(::GetTickCount64())
    {
    }

    enum class State { Running, NeverStarted, Vanished };

    State Check()
    {
        const ULONGLONG now = ::GetTickCount64();
        if (!pid_) {
            if (const auto text = ReadSmallFile(pidFile_)) {
                pid_ = ParseShellPid(*text);
            }
            if (!pid_ && now - started_ > StartLimitMilliseconds) {
                return State::NeverStarted;
            }
            return State::Running;
        }
        if (now - lastAliveCheck_ < AliveCheckMilliseconds) {
            return State::Running;
        }
        lastAliveCheck_ = now;
        return ProcessAlive(wine_, *pid_) ? State::Running : State::Vanished;
    }

private:
    const WinePaths &wine_;
    std::wstring pidFile_;
    ULONGLONG started_;
    ULONGLONG lastAliveCheck_ = 0;
    std::optional<unsigned long> pid_;
};

int ReportStatus(const std::string &text, const std::string &tool, StandardStream &errors)
{
    const auto status = ParseRunStatus(text);
    if (!status) {
        errors.WriteMessage(texts::UnreadableStatus + Quoted(FromUnixText(text)));
        return BridgeFailure;
    }
    if (status->kind == RunStatus::Kind::ToolMissing) {
        errors.WriteMessage(texts::ToolMissing + FromUnixText(tool));
        errors.WriteMessage(texts::ToolMissingHint);
        return ToolMissingCode;
    }
    // 126 and 127 come from the shell when the tool exists but cannot be run (a script
    // whose interpreter is missing, a binary for another machine); its own message precedes.
    if (status->code == 126 || status->code == 127) {
        errors.WriteMessage(texts::ToolNotStarted + FromUnixText(tool) + L" (exit status " +
                            std::to_wstring(status->code) + L").");
    }
    return status->code;
}

} // namespace

int RunShellScript(const WinePaths &wine, const PrivateFolder &folder, const std::string &tool,
                   ShellStreams streams)
{
    if (const DWORD error = StartShell(wine, folder); error != ERROR_SUCCESS) {
        streams.errors.WriteMessage(error == ERROR_FILE_NOT_FOUND
                                        ? std::wstring(texts::NoShell)
                                        : texts::CannotStartShell + DescribeError(error));
        return BridgeFailure;
    }

    FileFollower output(folder.File(files::Output), streams.output);
    FileFollower errors(folder.File(files::Errors), streams.errors);
    const std::wstring statusFile = folder.File(files::Status);
    ShellWatch watch(wine, folder);
    for (;;) {
        auto status = ReadSmallFile(statusFile);
        auto state = ShellWatch::State::Running;
        if (!status) {
            state = watch.Check();
            if (state != ShellWatch::State::Running) {
                // The status may have landed between the two looks.
                status = ReadSmallFile(statusFile);
            }
        }
        // Relayed after the look at the status, so everything written before it is shown.
        output.Pump();
        errors.Pump();
        if (status || state != ShellWatch::State::Running) {
            streams.output.Flush();
            streams.errors.Flush();
        }
        if (status) {
            return ReportStatus(*status, tool, streams.errors);
        }
        if (state != ShellWatch::State::Running) {
            streams.errors.WriteMessage(state == ShellWatch::State::NeverStarted
                                            ? texts::ShellDidNotStart
                                            : texts::ShellVanished);
            return BridgeFailure;
        }
        ::Sleep(PollMilliseconds);
    }
}

} // namespace qarvel::bridge
