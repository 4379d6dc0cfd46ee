#include "Launch.h"

#include "actions/Texts.h"
#include "win32/ErrorText.h"
#include "win32/GrowBuffer.h"
#include "win32/Handles.h"

#include <windows.h>

namespace qarvel::host {

namespace {

// The full path of the command interpreter in the system directory; empty when unknown.
std::wstring CommandInterpreterPath()
{
    const auto directory = win32::GrowBuffer(
        [](wchar_t *buffer, DWORD size) { return ::GetSystemDirectoryW(buffer, size); });
    if (!directory) {
        win32::TraceFailure(L"GetSystemDirectoryW", ::GetLastError());
        return {};
    }
    return *directory + L"\\cmd.exe";
}

WORD ShowCommand(ShowMode mode)
{
    switch (mode) {
    case ShowMode::ShowMinimisedWithFocus:
        break;
    }
    return SW_SHOWMINIMIZED;
}

} // namespace

StartedTask LaunchCommand(const std::wstring &commandLine, ShowMode mode)
{
    // What the interpreter would refuse or overrun is not started at all.
    if (commandLine.size() > texts::LongestCommandLine) {
        win32::TraceFailure(L"CreateProcessW", ERROR_FILENAME_EXCED_RANGE);
        return {};
    }
    const std::wstring interpreter = CommandInterpreterPath();
    if (interpreter.empty()) {
        return {};
    }
    // CreateProcessW may write into the command line it is given.
    std::wstring writableLine = commandLine;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowCommand(mode);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(interpreter.c_str(), writableLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info)) {
        win32::TraceFailure(L"CreateProcessW", ::GetLastError());
        return {};
    }
    win32::UniqueProcess started(info);
    return {info.dwProcessId, std::move(started.process)};
}

} // namespace qarvel::host
