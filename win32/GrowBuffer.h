#pragma once
// The one way to read a Win32 string whose length is not known in advance.

#include <windows.h>

#include <optional>
#include <string>

namespace qarvel::win32 {

// Calls fill(buffer, size) with a growing buffer until the text fits. fill follows the common
// Win32 convention: 0 for failure, the length written (without the terminating NUL) when it
// fits, and otherwise the size it needs or, as GetModuleFileNameW does, the size it was given.
// nullopt when fill fails; GetLastError tells why.
template <typename Fill>
std::optional<std::wstring> GrowBuffer(Fill fill, DWORD initialSize = MAX_PATH)
{
    std::wstring buffer(initialSize, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = fill(buffer.data(), size);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length > size ? length : static_cast<std::size_t>(size) * 2);
    }
}

} // namespace qarvel::win32
