#include "Files.h"

#include "actions/Texts.h"
#include "win32/ErrorText.h"
#include "win32/Handles.h"
#include "win32/Paths.h"

#include <windows.h>

namespace qarvel::host {

namespace {

std::optional<WIN32_FILE_ATTRIBUTE_DATA> AttributesOf(const std::wstring &path)
{
    if (path.empty()) {
        return std::nullopt;
    }
    // A removable drive without its medium must not bring up the system's error box.
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(win32::ExtendedLengthPath(path).c_str(), GetFileExInfoStandard,
                                &data)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            win32::TraceFailure(L"GetFileAttributesExW", error);
        }
        return std::nullopt;
    }
    return data;
}

bool IsFolder(const WIN32_FILE_ATTRIBUTE_DATA &data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens the file for the access given with no sharing at all: it fails while any other
// program has the file open.
win32::UniqueFile OpenAlone(const std::wstring &path, DWORD access, DWORD flags)
{
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    return win32::UniqueFile(::CreateFileW(win32::ExtendedLengthPath(path).c_str(), access, 0,
                                           nullptr, OPEN_EXISTING, flags, nullptr));
}

} // namespace

bool FileExists(const std::wstring &path)
{
    const auto data = AttributesOf(path);
    return data && !IsFolder(*data);
}

bool PathExists(const std::wstring &path)
{
    return AttributesOf(path).has_value();
}

std::optional<std::uint64_t> FileSize(const std::wstring &path)
{
    const auto data = AttributesOf(path);
    if (!data || IsFolder(*data)) {
        return std::nullopt;
    }
    return (std::uint64_t{data->nFileSizeHigh} << 32) | data->nFileSizeLow;
}

bool IsFileInUse(const std::wstring &path)
{
    const win32::UniqueFile file = OpenAlone(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
    return !file && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

bool RemoveFile(const std::wstring &path)
{
    // Deleted as the handle closes, and opened only when nobody else has the file open.
    win32::UniqueFile file = OpenAlone(path, DELETE, FILE_FLAG_DELETE_ON_CLOSE);
    if (!file) {
        win32::TraceFailure(L"CreateFileW to delete", ::GetLastError());
        return false;
    }
    file.reset();
    return !PathExists(path);
}

bool CanWriteInFolder(const std::wstring &folder)
{
    const std::wstring probe =
        win32::PathInFolder(folder, L"~qarvel-" + Digits(::GetCurrentProcessId()) + L"-" +
                                        Digits(::GetTickCount64()) + L".tmp");
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    const win32::UniqueFile file(::CreateFileW(
        win32::ExtendedLengthPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file) {
        return true;
    }
    const DWORD error = ::GetLastError();
    win32::TraceFailure(L"CreateFileW in the program folder", error);
    // A file of that very name says nothing about the folder; the tool may well write there.
    return error == ERROR_FILE_EXISTS;
}

} // namespace qarvel::host
