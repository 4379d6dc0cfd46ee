#include "Lab.h"

#include "Driver.h"
#include "win32/Paths.h"

namespace qarvel::drive {

std::wstring FromBuildPath(const char *linuxPath)
{
    std::wstring path = L"Z:" + record::FromUtf8(linuxPath);
    for (wchar_t &c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

// Long paths need the \\?\ form here: the test process itself is not long-path aware.
using win::ExtendedLengthPath;

bool MakeFolders(const std::wstring &path)
{
    for (size_t at = path.find(L'\\', 3);; at = path.find(L'\\', at + 1)) {
        const std::wstring part = path.substr(0, at);
        if (!::CreateDirectoryW(ExtendedLengthPath(part).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
        if (at == std::wstring::npos) {
            return true;
        }
    }
}

bool WriteFile(const std::wstring &path, const std::string &bytes)
{
    const win::UniqueFile file(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0,
                                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
    DWORD written = 0;
    return file &&
           (bytes.empty() || (::WriteFile(file.get(), bytes.data(),
                                          static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                              written == bytes.size()));
}

bool CopyInto(const std::wstring &from, const std::wstring &to)
{
    return ::CopyFileW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(), FALSE) !=
           FALSE;
}

void RemoveTree(const std::wstring &path)
{
    const std::wstring base = ExtendedLengthPath(path);
    {
        WIN32_FIND_DATAW found{};
        const win::UniqueFind find(::FindFirstFileW((base + L"\\*").c_str(), &found));
        if (find) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring child = base + L"\\" + name;
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveTree(child);
                } else {
                    ::DeleteFileW(child.c_str());
                }
            } while (::FindNextFileW(find.get(), &found));
        } // the search is closed before its folder goes
    }
    ::RemoveDirectoryW(base.c_str());
}

Lab::Lab(const std::wstring &name)
{
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    if (!temp.empty() && temp.back() == L'\\') {
        temp.pop_back();
    }
    root_ = temp + L"\\qarvel " + name + L" " + std::to_wstring(::GetCurrentProcessId());
    RemoveTree(root_);
    MakeFolders(root_);
    ::SetEnvironmentVariableW(record::FileVariable, RecordFile().c_str());
}

Lab::~Lab()
{
    RemoveTree(root_);
}

std::vector<record::Record> Lab::WaitForRecords(size_t count) const
{
    std::vector<record::Record> records;
    WaitFor([&] { return (records = Records()).size() >= count; }, 15s);
    return records;
}

} // namespace qarvel::drive
