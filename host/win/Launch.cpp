#include "Launch.h"

#include "ErrorText.h"
#include "Handles.h"

#include <windows.h>

namespace qarvel::win {

namespace {

// The longest line cmd.exe runs. Windows' cmd.exe refuses a longer one ("The command line is
// too long.") after it has started, so the caller would believe the tool runs; Wine's cmd.exe
// overruns its buffer and crashes. Such a line is not started at all.
constexpr size_t LongestCommandLine = 8191;

} // namespace

std::wstring CommandInterpreterPath()
{
    std::wstring directory(MAX_PATH, L'\0');
    for (;;) {
        const UINT size = static_cast<UINT>(directory.size());
        const UINT length = ::GetSystemDirectoryW(directory.data(), size);
        if (length == 0) {
            TraceFailure(L"GetSystemDirectoryW", ::GetLastError());
            return {};
        }
        if (length < size) {
            directory.resize(length);
            break;
        }
        directory.resize(length); // too small: length is the size needed, NUL included
    }
    return directory + L"\\cmd.exe";
}

TaskNumber StartCommandLine(const std::wstring &commandLine, ShowMode mode)
{
    if (commandLine.size() > LongestCommandLine) {
        TraceFailure(L"CreateProcessW", ERROR_FILENAME_EXCED_RANGE);
        return NoTask;
    }
    const std::wstring interpreter = CommandInterpreterPath();
    if (interpreter.empty()) {
        return NoTask;
    }
    // CreateProcessW may write into the command line it is given.
    std::wstring writableLine = commandLine;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(mode);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(interpreter.c_str(), writableLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info)) {
        TraceFailure(L"CreateProcessW", ::GetLastError());
        return NoTask;
    }
    const UniqueProcess started(info);
    return info.dwProcessId;
}

} // namespace qarvel::win
