#include "WinePaths.h"

#include "win32/Paths.h"

#include <windows.h>

#include <memory>

namespace qarvel::bridge {

namespace {

// Wine hands both conversions back in memory from the process heap.
struct ProcessHeapDeleter {
    void operator()(void *memory) const { ::HeapFree(::GetProcessHeap(), 0, memory); }
};

template <typename Function> Function Lookup(HMODULE module, const char *name)
{
    // GetProcAddress gives a generic function pointer; the signature is Wine's.
    return reinterpret_cast<Function>(reinterpret_cast<void *>(::GetProcAddress(module, name)));
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

std::optional<std::string> WinePaths::ToUnix(const std::wstring &windowsPath) const
{
    const std::wstring full = win32::WithoutExtendedPrefix(win32::FullPath(windowsPath));
    if (full.empty()) {
        return std::nullopt;
    }
    // Wine names a path on a drive it does not map as if the drive were there.
    if (full.size() >= 3 && full[1] == L':') {
        const wchar_t root[] = {full[0], L':', L'\\', L'\0'};
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) {
            return std::nullopt;
        }
    }
    const std::unique_ptr<char, ProcessHeapDeleter> unixPath(toUnix_(full.c_str()));
    if (!unixPath) {
        return std::nullopt;
    }
    return std::string(unixPath.get());
}

std::optional<std::wstring> WinePaths::ToWindows(const std::string &unixPath) const
{
    const std::unique_ptr<wchar_t, ProcessHeapDeleter> windowsPath(toWindows_(unixPath.c_str()));
    if (!windowsPath) {
        return std::nullopt;
    }
    return std::wstring(windowsPath.get());
}

bool Exists(const std::wstring &path)
{
    return ::GetFileAttributesW(win32::ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace qarvel::bridge
