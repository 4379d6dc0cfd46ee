#include "FolderReader.h"

#include "win32/Handles.h"
#include "win32/Paths.h"
#include "win32/PathText.h"
#include "window/NameOrder.h"

namespace qarvel::window {

namespace {

bool IsDotEntry(const wchar_t *name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsHiddenOrSystem(const WIN32_FIND_DATAW &data)
{
    return (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

bool IsFolder(const WIN32_FIND_DATAW &data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Capitals as the system folds them, for every script it knows.
void FoldWithSystem(std::wstring &text)
{
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
}

} // namespace

FolderEntries ReadFolder(const std::wstring &directory)
{
    FolderEntries result;
    win32::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::wstring pattern = win32::PathInFolder(win32::ExtendedLengthPath(directory), L"*");
    WIN32_FIND_DATAW data;
    win32::UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr,
                                              FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = ::GetLastError();
        // An empty drive root has no "." entry, so nothing at all matches.
        if (error != ERROR_FILE_NOT_FOUND) {
            result.error = error;
        }
        return result;
    }
    do {
        if (IsHiddenOrSystem(data)) {
            continue;
        }
        if (!IsFolder(data)) {
            result.files.emplace_back(data.cFileName);
            result.filesLength += result.files.back().size();
        } else if (!IsDotEntry(data.cFileName)) {
            result.folders.emplace_back(data.cFileName);
        }
    } while (::FindNextFileW(find.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        FolderEntries failed;
        failed.error = error;
        return failed;
    }
    SortNames(result.files, FoldWithSystem);
    SortNames(result.folders, FoldWithSystem);
    return result;
}

} // namespace qarvel::window
