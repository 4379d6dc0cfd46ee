#include "WinePaths.h"

#include <memory>

namespace qarvel::bridge {

namespace {

// Wine returns both conversions in memory from the process heap.
struct ProcessHeapDeleter {
    void operator()(void *memory) const { ::HeapFree(::GetProcessHeap(), 0, memory); }
};

template <typename Function> Function Lookup(HMODULE module, const char *name)
{
    // GetProcAddress gives a generic function pointer; the exported signature is Wine's.
    return reinterpret_cast<Function>(reinterpret_cast<void *>(::GetProcAddress(module, name)));
}

std::optional<std::wstring> FullPath(const std::wstring &path, DWORD &error)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            error = ::GetLastError();
            return std::nullopt;
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

bool IsDrivePath(const std::wstring &path)
{
    return path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

} // namespace

std::optional<WinePaths> WinePaths::Find()
{
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return std::nullopt;
    }
    const auto toUnix = Lookup<ToUnixFunction>(kernel, "wine_get_unix_file_name");
    const auto toWindows = Lookup<ToWindowsFunction>(kernel, "wine_get_dos_file_name");
    if (toUnix == nullptr || toWindows == nullptr) {
        return std::nullopt;
    }
    return WinePaths(toUnix, toWindows);
}

UnixPath WinePaths::ToUnix(const std::wstring &windowsPath) const
{
    UnixPath result;
    const auto full = FullPath(windowsPath, result.error);
    if (!full) {
        return result;
    }
    // Wine names a path on an unmapped drive as if the drive existed; say so plainly.
    if (IsDrivePath(*full)) {
        const wchar_t root[] = {(*full)[0], L':', L'\\', L'\0'};
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) {
            result.driveUnmapped = true;
            return result;
        }
    }
    ::SetLastError(ERROR_SUCCESS);
    const std::unique_ptr<char, ProcessHeapDeleter> unixPath(toUnix_(full->c_str()));
    if (!unixPath) {
        result.error = ::GetLastError();
        if (result.error == ERROR_SUCCESS) {
            result.error = ERROR_PATH_NOT_FOUND;
        }
        return result;
    }
    result.path = unixPath.get();
    result.error = ERROR_SUCCESS;
    return result;
}

std::optional<std::wstring> WinePaths::ToWindows(const std::string &unixPath) const
{
    const std::unique_ptr<wchar_t, ProcessHeapDeleter> windowsPath(toWindows_(unixPath.c_str()));
    if (!windowsPath) {
        return std::nullopt;
    }
    return std::wstring(windowsPath.get());
}

} // namespace qarvel::bridge
