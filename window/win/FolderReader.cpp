#include "FolderReader.h"

#include "DirectoryPaths.h"
#include "host/win/Files.h"
#include "host/win/Handles.h"

#include <algorithm>

namespace qarvel::win {

namespace {

bool IsDotEntry(const wchar_t *name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool Wanted(const WIN32_FIND_DATAW &data, EntryKind kind)
{
    if ((data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
        return false;
    }
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (kind == EntryKind::Folders) {
        return folder && !IsDotEntry(data.cFileName);
    }
    return !folder;
}

int CompareNoCase(const std::wstring &a, const std::wstring &b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE);
}

} // namespace

FolderEntries ReadFolder(const std::wstring &directory, EntryKind kind)
{
    FolderEntries result;
    ScopedErrorMode quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::wstring pattern = ChildPath(ExtendedLengthPath(directory), L"*");
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = ::GetLastError();
        // An empty drive root has no "." entry, so nothing at all matches.
        if (error != ERROR_FILE_NOT_FOUND) {
            result.error = error;
        }
        return result;
    }
    do {
        if (Wanted(data, kind)) {
            result.names.emplace_back(data.cFileName);
            result.totalLength += result.names.back().size();
        }
    } while (::FindNextFileW(find.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        result.error = error;
        result.names.clear();
        result.totalLength = 0;
        return result;
    }
    SortNames(result.names);
    return result;
}

void SortNames(std::vector<std::wstring> &names)
{
    std::sort(names.begin(), names.end(), [](const std::wstring &a, const std::wstring &b) {
        const int order = CompareNoCase(a, b);
        return order == CSTR_EQUAL ? a < b : order == CSTR_LESS_THAN;
    });
}

} // namespace qarvel::win
