#include "Files.h"

#include "win32/ErrorText.h"
#include "win32/Handles.h"
#include "win32/Paths.h"

#include <windows.h>

#include <optional>

namespace qarvel::host {

namespace {

std::optional<DWORD> AttributesOf(const std::wstring &path)
{
    if (path.empty()) {
        return std::nullopt;
    }
    // A removable drive without its medium must not bring up the system's error box.
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    const DWORD attributes = ::GetFileAttributesW(win32::ExtendedLengthPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            win32::TraceFailure(L"GetFileAttributesW", error);
        }
        return std::nullopt;
    }
    return attributes;
}

} // namespace

bool IsExistingFile(const std::wstring &path)
{
    const auto attributes = AttributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsExistingPath(const std::wstring &path)
{
    return AttributesOf(path).has_value();
}

} // namespace qarvel::host
