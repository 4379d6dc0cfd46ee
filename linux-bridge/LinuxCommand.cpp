#include "LinuxCommand.h"

#include "win32/GrowBuffer.h"
#include "win32/Paths.h"
#include "win32/Text.h"

#include <windows.h>

namespace qarvel::bridge {

namespace {

// The Unix path in the environment variable, or the default when it is not set.
std::string UnixPathSetting(const wchar_t *variable, std::string fallback)
{
    const auto value = win32::GrowBuffer([&](wchar_t *buffer, DWORD size) {
        return ::GetEnvironmentVariableW(variable, buffer, size);
    });
    return value ? win32::ToUtf8(*value, UnixCodePage) : fallback;
}

bool SameName(const std::wstring &a, const wchar_t *b)
{
    return ::lstrcmpiW(a.c_str(), b) == 0;
}

bool IsSlash(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool LooksLikeWindowsPath(const std::wstring &argument)
{
    const bool drive = argument.size() >= 3 && argument[1] == L':' && IsSlash(argument[2]) &&
                       ((argument[0] >= L'A' && argument[0] <= L'Z') ||
                        (argument[0] >= L'a' && argument[0] <= L'z'));
    return drive || (argument.size() >= 3 && IsSlash(argument[0]) && IsSlash(argument[1]));
}

bool IsPath(const std::wstring &argument)
{
    if (argument.empty() || argument[0] == L'-') {
        return false;
    }
    if (LooksLikeWindowsPath(argument)) {
        return true;
    }
    if (argument.find_first_of(L"\\/") == std::wstring::npos) {
        return Exists(argument);
    }
    const std::wstring full = win32::FullPath(argument);
    const auto separator = full.find_last_of(L'\\');
    return separator != std::wstring::npos && Exists(full.substr(0, separator + 1));
}

} // namespace

std::optional<LinuxTool> ToolFor(const std::wstring &programName)
{
    if (SameName(programName, L"chdman.exe")) {
        const std::string chdman = UnixPathSetting(L"QARVEL_CHDMAN", "/usr/bin/chdman");
        return LinuxTool{L"chdman",
                         {chdman},
                         {{chdman, L"install the package mame-tools, or set QARVEL_CHDMAN"}}};
    }
    const std::string python = "/usr/bin/python3";
    const LinuxTool::Need pythonNeed{python, L"install the packages python3 and python3-lz4"};
    if (SameName(programName, L"ziso.py.exe")) {
        const std::string script = UnixPathSetting(L"QARVEL_ZISO_PY", QARVEL_ZISO_SCRIPT);
        return LinuxTool{L"ziso.py",
                         {python, script},
                         {pythonNeed, {script, L"set QARVEL_ZISO_PY to our ziso.py"}}};
    }
    // What the .py file type is opened with: the script is the first argument.
    if (SameName(programName, L"python.exe")) {
        return LinuxTool{L"python", {python}, {pythonNeed}};
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> MapArguments(const WinePaths &wine,
                                                     const std::vector<std::wstring> &arguments,
                                                     std::wstring &failed)
{
    std::vector<std::string> mapped;
    for (const auto &argument : arguments) {
        if (!IsPath(argument)) {
            mapped.push_back(win32::ToUtf8(argument, UnixCodePage));
            continue;
        }
        auto unixPath = wine.ToUnix(argument);
        if (!unixPath) {
            failed = argument;
            return std::nullopt;
        }
        mapped.push_back(std::move(*unixPath));
    }
    return mapped;
}

} // namespace qarvel::bridge
