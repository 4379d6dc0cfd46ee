#pragma once
// Every fixed text the chdman bridge shows; each goes to the error stream on a line of its own.

namespace qarvel::bridge::texts {

inline constexpr const wchar_t *Prefix = L"chdman bridge: ";
inline constexpr const wchar_t *NotUnderWine =
    L"this chdman.exe only works under Wine, where it runs the Linux chdman. On Windows, put "
    L"the real chdman.exe here instead.";
inline constexpr const wchar_t *CannotMapPath = L"cannot find the Linux path of ";
inline constexpr const wchar_t *DriveNotMapped = L"Wine maps no folder to the drive of ";
inline constexpr const wchar_t *NoShell = L"Wine cannot reach the Linux shell /bin/sh.";
inline constexpr const wchar_t *CannotCreateFolder = L"cannot create a private temporary folder: ";
inline constexpr const wchar_t *CannotWriteScript = L"cannot write the run script: ";
inline constexpr const wchar_t *CannotStartHeartbeat =
    L"cannot write the file that tells the Linux side the bridge still runs: ";
inline constexpr const wchar_t *CannotStartShell = L"cannot start /bin/sh: ";
inline constexpr const wchar_t *ShellDidNotStart =
    L"the Linux shell did not start running chdman within 10 seconds.";
inline constexpr const wchar_t *ShellVanished =
    L"the Linux shell running chdman ended without reporting chdman's exit status.";
inline constexpr const wchar_t *UnreadableStatus = L"cannot read chdman's exit status: ";
inline constexpr const wchar_t *ToolMissing = L"the Linux chdman is missing or not executable: ";
inline constexpr const wchar_t *ToolMissingHint =
    L"Install it with the package mame-tools (apt install mame-tools), or set QARVEL_CHDMAN "
    L"to the chdman to run.";
inline constexpr const wchar_t *ToolNotStarted = L"the Linux shell could not start ";

} // namespace qarvel::bridge::texts
