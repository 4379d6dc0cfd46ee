#include "Paths.h"

#include "GrowBuffer.h"

#include <windows.h>

namespace qarvel::win32 {

std::wstring FullPath(const std::wstring &path)
{
    return GrowBuffer([&](wchar_t *buffer, DWORD size) {
               return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
           })
        .value_or(std::wstring());
}

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
    if (normal.starts_with(UncPrefix)) {
        return std::wstring(ExtendedUncPrefix) + full.substr(UncPrefix.size());
    }
    return std::wstring(ExtendedPrefix) + full;
}

} // namespace qarvel::win32
