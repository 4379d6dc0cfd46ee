// The bridge for Wine: a console program named chdman.exe, ziso.py.exe or python.exe that runs
// the Linux tool of that name with its arguments, Windows paths turned into the Unix paths Wine
// maps them to, lets the tool write to its output and exits with the tool's exit code.

#include "LinuxCommand.h"
#include "ShellRun.h"
#include "WinePaths.h"

#include "win32/GrowBuffer.h"
#include "win32/Text.h"

#include <windows.h>

namespace {

using namespace qarvel::bridge;

constexpr int BridgeFailure = 1;
constexpr int ToolMissing = 127; // as the shell says it

// One line on the error stream, whether it is a console or a file or pipe.
int Fail(const std::wstring &name, const std::wstring &message, int code = BridgeFailure)
{
    const std::wstring line = name + L" bridge: " + message + L"\r\n";
    const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(errors, &mode)) {
        ::WriteConsoleW(errors, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    } else {
        const std::string bytes = qarvel::win32::ToUtf8(line);
        ::WriteFile(errors, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    return code;
}

std::wstring OwnFileName()
{
    const std::wstring path = qarvel::win32::GrowBuffer([](wchar_t *buffer, DWORD size) {
                                  return ::GetModuleFileNameW(nullptr, buffer, size);
                              }).value_or(std::wstring());
    return path.substr(path.find_last_of(L"\\/") + 1);
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    const std::wstring self = OwnFileName();
    const auto tool = ToolFor(self);
    if (!tool) {
        return Fail(self,
                    L"name this program chdman.exe, ziso.py.exe or python.exe to choose its tool.");
    }
    const auto wine = WinePaths::Find();
    if (!wine) {
        return Fail(tool->name, L"runs only under Wine, where it starts the Linux " + tool->name +
                                    L"; on Windows use the real one.");
    }
    for (const auto &need : tool->needs) {
        const auto path = wine->ToWindows(need.unixPath);
        if (!path || !Exists(*path)) {
            return Fail(tool->name,
                        L"missing on Linux: " +
                            qarvel::win32::FromUtf8(need.unixPath, UnixCodePage) + L" (" +
                            need.hint + L").",
                        ToolMissing);
        }
    }
    std::wstring failed;
    auto arguments = MapArguments(*wine, std::vector<std::wstring>(argv + 1, argv + argc), failed);
    const auto folder = wine->ToUnix(L".");
    if (!arguments || !folder) {
        return Fail(tool->name, L"Wine cannot map \"" + (arguments ? std::wstring(L".") : failed) +
                                    L"\" to a Unix path.");
    }
    std::vector<std::string> command = tool->command;
    command.insert(command.end(), arguments->begin(), arguments->end());
    const ShellResult result = RunInShell(*wine, *folder, command);
    return result.error.empty() ? result.exitCode : Fail(tool->name, result.error);
}
