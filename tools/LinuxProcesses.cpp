#include "LinuxProcesses.h"

#include "win32/Handles.h"
#include "RunScript.h"

namespace qarvel::bridge {

DWORD StartShell(const WinePaths &wine, const PrivateFolder &folder, const std::wstring &arguments)
{
    const auto shell = wine.ToWindows("/bin/sh");
    if (!shell) {
        return ERROR_FILE_NOT_FOUND;
    }
    std::wstring commandLine = L"\"" + *shell + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(shell->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.Path().c_str(), &startup, &process)) {
        return ::GetLastError();
    }
    // Of no use under Wine: closed at once.
    const win::UniqueHandle processHandle(process.hProcess);
    const win::UniqueHandle threadHandle(process.hThread);
    return ERROR_SUCCESS;
}

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

} // namespace qarvel::bridge
