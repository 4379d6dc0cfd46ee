#include "Files.h"

#include "ErrorText.h"
#include "Handles.h"

#include <windows.h>

#include <string_view>

namespace qarvel::win {

namespace {

constexpr std::wstring_view ExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view DevicePrefix = L"\\\\.\\";
constexpr std::wstring_view UncStart = L"\\\\";
constexpr std::wstring_view ExtendedUncPrefix = L"\\\\?\\UNC\\";

std::wstring FullPath(const std::wstring &path)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(full.size());
        const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            full.resize(length);
            return full;
        }
        full.resize(length); // too small: length is the size needed, NUL included
    }
}

} // namespace

std::wstring ExtendedLengthPath(const std::wstring &path)
{
    const std::wstring_view given = path;
    if (given.starts_with(ExtendedPrefix) || given.starts_with(DevicePrefix)) {
        return path;
    }
    // Making it full also resolves what the prefix would otherwise pass on literally:
    // "/" separators, repeated separators, "." and ".." pieces, trailing dots and blanks.
    const std::wstring full = FullPath(path);
    const std::wstring_view normal = full;
    if (normal.empty() || normal.starts_with(ExtendedPrefix) || normal.starts_with(DevicePrefix)) {
        return path; // nothing to add, or a device name such as NUL
    }
    if (normal.starts_with(UncStart)) {
        return std::wstring(ExtendedUncPrefix) + full.substr(UncStart.size());
    }
    return std::wstring(ExtendedPrefix) + full;
}

bool IsExistingFile(const std::wstring &path)
{
    if (path.empty()) {
        return false;
    }
    // A removable drive without its medium must not bring up the system's error box.
    const ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    const DWORD attributes = ::GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            TraceFailure(L"GetFileAttributesW", error);
        }
        return false;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace qarvel::win
