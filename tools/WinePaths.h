#pragma once
// Wine's own conversion between Windows paths and the Unix paths behind them, looked up at
// run time in kernel32; absent when the program does not run under Wine.

#include <windows.h>

#include <optional>
#include <string>

namespace qarvel::bridge {

struct UnixPath {
    std::string path; // empty on failure
    DWORD error = ERROR_SUCCESS;
    bool driveUnmapped = false;
};

class WinePaths {
public:
    // nullopt outside Wine.
    static std::optional<WinePaths> Find();

    // Resolves a relative path against the current directory first; works for every drive
    // and UNC share Wine maps, and for a last component that does not exist yet.
    UnixPath ToUnix(const std::wstring &windowsPath) const;

    // The Windows path Wine shows for a Unix path, e.g. Z:\bin\sh.
    std::optional<std::wstring> ToWindows(const std::string &unixPath) const;

private:
    using ToUnixFunction = char *(CDECL *)(const wchar_t *);
    using ToWindowsFunction = wchar_t *(CDECL *)(const char *);

    WinePaths(ToUnixFunction toUnix, ToWindowsFunction toWindows)
        : toUnix_(toUnix), toWindows_(toWindows)
    {
    }

    ToUnixFunction toUnix_;
    ToWindowsFunction toWindows_;
};

} // namespace qarvel::bridge
