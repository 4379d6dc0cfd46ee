#include "FolderReader.h"

#include "DirectoryPaths.h"
#include "win32/Handles.h"
#include "win32/Paths.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace qarvel::win {

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

} // namespace

FolderEntries ReadFolder(const std::wstring &directory)
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
    SortNames(result.files);
    SortNames(result.folders);
    return result;
}

void SortNames(std::vector<std::wstring> &names)
{
    // Each name is folded to capitals once, all of them in one buffer, so the sort compares
    // plain strings; names that differ only in letter case keep a fixed order among themselves.
    std::size_t total = 0;
    for (const std::wstring &name : names) {
        total += name.size();
    }
    std::wstring folded;
    folded.reserve(total);
    for (const std::wstring &name : names) {
        folded += name;
    }
    ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    std::vector<std::wstring_view> keys;
    keys.reserve(names.size());
    for (std::size_t start = 0; const std::wstring &name : names) {
        keys.emplace_back(folded.data() + start, name.size());
        start += name.size();
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : names[a] < names[b];
    });
    std::vector<std::wstring> sorted;
    sorted.reserve(names.size());
    for (const std::size_t index : order) {
        sorted.push_back(std::move(names[index]));
    }
    names.swap(sorted);
}

} // namespace qarvel::win
