#pragma once
// What the host tests share: a scratch folder, the stand-in tools and waiting for records.

#include "win32/Handles.h"
#include "RecordFormat.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qarvel::test {

// Folders known at build time, set by CMake (with "/" separators, which Windows accepts).
inline std::wstring StandInsFolder()
{
    return QARVEL_STAND_INS_DIR;
}
inline std::wstring ToolsFolder()
{
    return QARVEL_TEST_TOOLS_DIR;
}
inline std::wstring TestProgramFolder()
{
    std::wstring folder = QARVEL_TEST_PROGRAM_DIR;
    for (wchar_t &c : folder) {
        c = c == L'/' ? L'\\' : c;
    }
    return folder;
}

// A fresh, empty folder under the temporary folder, removed with all it holds at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        // A unique name from the system, turned from a file into a folder.
        wchar_t temp[MAX_PATH + 1];
        wchar_t unique[MAX_PATH + 1];
        if (::GetTempPathW(MAX_PATH + 1, temp) == 0 ||
            ::GetTempFileNameW(temp, L"qh", 0, unique) == 0 || !::DeleteFileW(unique) ||
            !::CreateDirectoryW(unique, nullptr)) {
            ADD_FAILURE() << "no scratch folder, error " << ::GetLastError();
            return;
        }
        path_ = unique;
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ~ScratchFolder()
    {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(path_), ignored);
        }
    }

    const std::wstring &path() const { return path_; }
    std::wstring operator/(const std::wstring &name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

inline bool WriteEmptyFile(const std::wstring &path)
{
    return win::UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr))
        .
        operator bool();
}

// Waits until the record file holds at least `count` complete records, or the time is up.
inline std::vector<record::Record> WaitForRecords(const std::wstring &file, size_t count,
                                                  DWORD timeoutMs = 30000)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::vector<record::Record> records = record::ReadFile(file);
    while (records.size() < count && ::GetTickCount64() < deadline) {
        ::Sleep(50);
        records = record::ReadFile(file);
    }
    return records;
}

// The last piece of a path, lower-cased, to tell which copy of the recorder ran.
inline std::wstring LowerFileName(const std::wstring &path)
{
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    for (wchar_t &c : name) {
        c = static_cast<wchar_t>(::towlower(c));
    }
    return name;
}

} // namespace qarvel::test
