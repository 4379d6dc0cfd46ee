#include "ProgramDirectory.h"

#include "win32/ErrorText.h"
#include "win32/GrowBuffer.h"
#include "win32/Paths.h"

#include <windows.h>

namespace qarvel::host {

std::wstring DirectoryOfExecutable(std::wstring path)
{
    path = win32::WithoutExtendedPrefix(std::move(path));
    const size_t lastSeparator = path.rfind(L'\\');
    if (lastSeparator == std::wstring::npos) {
        return {};
    }
    // A drive root keeps its separator.
    return win32::TidyDirectory(path.substr(0, lastSeparator));
}

std::wstring ProgramDirectory()
{
    const auto executable = win32::GrowBuffer(
        [](wchar_t *buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
    if (!executable) {
        win32::TraceFailure(L"GetModuleFileNameW", ::GetLastError());
        return {};
    }
    return DirectoryOfExecutable(*executable);
}

std::wstring WorkingDirectory()
{
    const auto directory = win32::GrowBuffer(
        [](wchar_t *buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); });
    if (!directory) {
        win32::TraceFailure(L"GetCurrentDirectoryW", ::GetLastError());
        return {};
    }
    return win32::TidyDirectory(win32::WithoutExtendedPrefix(*directory));
}

} // namespace qarvel::host
