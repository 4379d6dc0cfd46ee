#include "ShellRun.h"

#include "BridgeTexts.h"
#include "LinuxProcesses.h"
#include "RunScript.h"
#include "Win32Text.h"

#include <optional>

namespace qarvel::bridge {

namespace {

constexpr int ToolMissingCode = 127;
constexpr DWORD PollMilliseconds = 50;
constexpr ULONGLONG StartLimitMilliseconds = 10'000;
constexpr ULONGLONG AliveCheckMilliseconds = 500;

// 0 while the shell has not written it yet.
unsigned long ReadShellPid(const PrivateFolder &folder)
{
    const auto text = ReadSmallFile(folder.File(files::ShellPid));
    return text ? ParsePid(*text).value_or(0) : 0;
}

// Whether the shell has started and still runs.
class ShellWatch {
public:
    explicit ShellWatch(const ShellRunContext &run) : run_(run), started_(::GetTickCount64()) {}

    enum class State { Running, NeverStarted, Vanished };

    State Check()
    {
        const ULONGLONG now = ::GetTickCount64();
        if (pid_ == 0) {
            pid_ = ReadShellPid(run_.folder);
            return pid_ == 0 && now - started_ > StartLimitMilliseconds ? State::NeverStarted
                                                                        : State::Running;
        }
        if (now - lastAliveCheck_ < AliveCheckMilliseconds) {
            return State::Running;
        }
        lastAliveCheck_ = now;
        return ProcessAlive(run_.wine, pid_) ? State::Running : State::Vanished;
    }

private:
    const ShellRunContext &run_;
    ULONGLONG started_;
    ULONGLONG lastAliveCheck_ = 0;
    unsigned long pid_ = 0;
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

int RunShellScript(const ShellRunContext &run, const std::string &tool)
{
    const std::wstring script =
        std::wstring(L"./") + std::wstring(files::Script.begin(), files::Script.end());
    if (const DWORD error = StartShell(run.wine, run.folder, script); error != ERROR_SUCCESS) {
        run.errors.WriteMessage(error == ERROR_FILE_NOT_FOUND
                                    ? std::wstring(texts::NoShell)
                                    : texts::CannotStartShell + DescribeError(error));
        return BridgeFailure;
    }

    FileFollower output(run.folder.File(files::Output), run.output);
    FileFollower errors(run.folder.File(files::Errors), run.errors);
    const std::wstring statusFile = run.folder.File(files::Status);
    ShellWatch watch(run);
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
            run.output.Flush();
            run.errors.Flush();
        }
        if (status) {
            return ReportStatus(*status, tool, run.errors);
        }
        // Nobody sees chdman any more: leave, and the script's watchdog stops it once the
        // heartbeat ends, as closing the window ends chdman on Windows.
        if (run.output.ConsoleGone()) {
            return BridgeFailure;
        }
        if (state != ShellWatch::State::Running) {
            run.errors.WriteMessage(state == ShellWatch::State::NeverStarted
                                        ? texts::ShellDidNotStart
                                        : texts::ShellVanished);
            return BridgeFailure;
        }
        ::Sleep(PollMilliseconds);
    }
}

} // namespace qarvel::bridge
