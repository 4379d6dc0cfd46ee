#pragma once
// Wine's own mapping between Windows paths and the Unix paths behind them, looked up in
// kernel32 at run time: it is there only under Wine.

#include <optional>
#include <string>

namespace qarvel::bridge {

// Wine's code page for Unix names and arguments (UTF-8 on an ordinary Linux system).
inline constexpr unsigned UnixCodePage = 65010;

class WinePaths {
public:
    // Nothing when this program does not run under Wine.
    static std::optional<WinePaths> Find();

    // The Unix path (in Wine's Unix code page) of a Windows path, made full first; nothing
    // when its drive is not mapped or a folder on the way does not exist.
    std::optional<std::string> ToUnix(const std::wstring &windowsPath) const;
    // The Windows path Wine shows for a Unix path; nothing when it cannot name one.
    std::optional<std::wstring> ToWindows(const std::string &unixPath) const;

private:
    using ToUnixFunction = char *(__cdecl *)(const wchar_t *);
    using ToWindowsFunction = wchar_t *(__cdecl *)(const char *);
    WinePaths(ToUnixFunction toUnix, ToWindowsFunction toWindows)
        : toUnix_(toUnix), toWindows_(toWindows)
    {
    }
    ToUnixFunction toUnix_;
    ToWindowsFunction toWindows_;
};

// Whether something exists at the Windows path.
bool Exists(const std::wstring &path);

} // namespace qarvel::bridge
