#include "Files.h"

#include "actions/Texts.h"
#include "win32/ErrorText.h"
#include "win32/Handles.h"
#include "win32/Paths.h"
#include "win32/Text.h"

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

TextFile ReadTextFile(const std::wstring &path, std::uint64_t limit)
{
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    const win32::UniqueFile file(::CreateFileW(
        win32::ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) {
        win32::TraceFailure(L"CreateFileW to read", ::GetLastError());
        return {};
    }
    TextFile text;
    if (static_cast<std::uint64_t>(size.QuadPart) > limit) {
        text.status = TextFile::Status::TooLarge;
        return text;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        win32::TraceFailure(L"ReadFile", ::GetLastError());
        return {};
    }
    bytes.resize(read);
    text.status = TextFile::Status::Read;
    text.byteOrderMark = bytes.starts_with("\xEF\xBB\xBF");
    if (text.byteOrderMark) {
        bytes.erase(0, 3);
    }
    // Valid UTF-8 is taken as such; anything else is in the ANSI code page.
    const bool utf8 = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                            static_cast<int>(bytes.size()), nullptr, 0) > 0;
    text.text = win32::FromUtf8(bytes, utf8 ? CP_UTF8 : CP_ACP);
    return text;
}

std::vector<std::wstring> FilesIn(const std::wstring &folder, const std::wstring &pattern)
{
    std::vector<std::wstring> names;
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAW found{};
    const win32::UniqueFind find(
        ::FindFirstFileExW(win32::ExtendedLengthPath(win32::PathInFolder(folder, pattern)).c_str(),
                           FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(found.cFileName);
        }
    } while (::FindNextFileW(find.get(), &found));
    return names;
}

Renamed RenameFile(const std::wstring &path, const std::wstring &newName)
{
    const std::wstring renamed = win32::PathInFolder(FolderOf(path), newName);
    // Without MOVEFILE_REPLACE_EXISTING it fails on any file or folder of the new name.
    if (::MoveFileExW(win32::ExtendedLengthPath(path).c_str(),
                      win32::ExtendedLengthPath(renamed).c_str(), 0)) {
        return Renamed::Done;
    }
    const DWORD error = ::GetLastError();
    win32::TraceFailure(L"MoveFileExW", error);
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Renamed::NameTaken
                                                                       : Renamed::Failed;
}

std::optional<DiskRoom> RoomOnDisk(const std::wstring &folder)
{
    const win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    std::wstring root(MAX_PATH + 1, L'\0');
    ULARGE_INTEGER free{};
    if (!::GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())) ||
        !::GetDiskFreeSpaceExW(root.c_str(), &free, nullptr, nullptr)) {
        win32::TraceFailure(L"GetDiskFreeSpaceExW", ::GetLastError());
        return std::nullopt;
    }
    root.resize(::wcsnlen(root.c_str(), root.size()));
    return DiskRoom{root, free.QuadPart};
}

} // namespace qarvel::host
