#include "ProgramDirectory.h"

#include "ErrorText.h"

#include <windows.h>

#include <string_view>

namespace qarvel::win {

namespace {

constexpr std::wstring_view ExtendedUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view ExtendedPrefix = L"\\\\?\\";

std::wstring ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) {
            TraceFailure(L"GetModuleFileNameW", ::GetLastError());
            return {};
        }
        if (length < size) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2); // cut short: try again with more room
    }
}

} // namespace

std::wstring DirectoryOfExecutable(std::wstring path)
{
    if (std::wstring_view(path).starts_with(ExtendedUncPrefix)) {
        path.replace(0, ExtendedUncPrefix.size(), L"\\\\");
    } else if (std::wstring_view(path).starts_with(ExtendedPrefix)) {
        path.erase(0, ExtendedPrefix.size());
    }
    const size_t lastSeparator = path.rfind(L'\\');
    if (lastSeparator == std::wstring::npos) {
        return {};
    }
    path.resize(lastSeparator);
    if (path.size() == 2 && path[1] == L':') {
        path += L'\\'; // a drive root keeps its separator
    }
    return path;
}

std::wstring RunningProgramDirectory()
{
    const std::wstring executable = ExecutablePath();
    return executable.empty() ? std::wstring() : DirectoryOfExecutable(executable);
}

} // namespace qarvel::win
