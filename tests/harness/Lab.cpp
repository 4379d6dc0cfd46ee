#include "Lab.h"

#include "Driver.h"
#include "linux-bridge/WinePaths.h"
#include "win32/GrowBuffer.h"
#include "win32/Paths.h"

#include <algorithm>

namespace qarvel::drive {

using win32::ExtendedLengthPath;

std::wstring FromBuildPath(const char *linuxPath)
{
    static const auto mapping = bridge::WinePaths::Find();
    auto path = mapping ? mapping->ToWindows(linuxPath) : std::nullopt;
    if (!path) {
        ADD_FAILURE() << "Wine shows no Windows path for " << linuxPath;
        return {};
    }
    return *path;
}

const std::wstring &QarvelExe()
{
    static const std::wstring path = FromBuildPath(QARVEL_EXE_PATH);
    return path;
}

const std::wstring &RecorderExe()
{
    static const std::wstring path = FromBuildPath(QARVEL_RECORDER_PATH);
    return path;
}

void ExpectVersionRecord(const std::wstring &exe)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version record in " << testing::PrintToString(exe);
    std::vector<BYTE> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0u); // 0.0
    EXPECT_EQ(fixed->dwFileVersionLS, 1u); // .0.1
    EXPECT_EQ(fixed->dwProductVersionMS, 0u);
    EXPECT_EQ(fixed->dwProductVersionLS, 1u);

    WORD *translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void **>(&translation), &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0409); // US English
    EXPECT_EQ(translation[1], 1200);   // Unicode

    const std::pair<const wchar_t *, const wchar_t *> strings[] = {
        {L"ProductName", L"Qarvel"},          {L"InternalName", L"Qarvel"},
        {L"OriginalFilename", L"Qarvel.exe"}, {L"CompanyName", L"x"},
        {L"FileVersion", L"0.00.0001"},       {L"ProductVersion", L"0.00.0001"},
    };
    for (const auto &[name, expected] : strings) {
        SCOPED_TRACE(name);
        wchar_t *value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(::VerQueryValueW(record.data(), query.c_str(),
                                     reinterpret_cast<void **>(&value), &length));
        EXPECT_STREQ(value, expected);
    }
}

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

bool WriteFile(const std::wstring &path, const std::string &bytes, DWORD attributes)
{
    const win32::UniqueFile file(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0,
                                               nullptr, CREATE_ALWAYS, attributes, nullptr));
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
        const win32::UniqueFind find(::FindFirstFileW((base + L"\\*").c_str(), &found));
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

bool EndsWithNoCase(const std::wstring &text, const std::wstring &end)
{
    return text.size() >= end.size() &&
           ::CompareStringOrdinal(text.c_str() + (text.size() - end.size()),
                                  static_cast<int>(end.size()), end.c_str(),
                                  static_cast<int>(end.size()), TRUE) == CSTR_EQUAL;
}

RegistryValue::RegistryValue(HKEY root, const std::wstring &key, const wchar_t *name,
                             const std::wstring &text)
    : RegistryValue(root, key, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)))
{
}

RegistryValue::RegistryValue(HKEY root, const std::wstring &key, const wchar_t *name, DWORD number)
    : RegistryValue(root, key, name, REG_DWORD, &number, sizeof number)
{
}

RegistryValue::RegistryValue(HKEY root, const std::wstring &key, const wchar_t *name, DWORD type,
                             const void *data, DWORD size)
    : name_(name)
{
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &key_, nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD oldSize = 0;
    if (::RegQueryValueExW(key_, name, nullptr, &oldType_, nullptr, &oldSize) == ERROR_SUCCESS) {
        old_.emplace(oldSize);
        ::RegQueryValueExW(key_, name, nullptr, &oldType_, old_->data(), &oldSize);
    }
    set_ = ::RegSetValueExW(key_, name, 0, type, static_cast<const BYTE *>(data), size) ==
           ERROR_SUCCESS;
}

RegistryValue::~RegistryValue()
{
    if (set_ && old_) {
        ::RegSetValueExW(key_, name_.c_str(), 0, oldType_, old_->data(),
                         static_cast<DWORD>(old_->size()));
    } else if (set_) {
        ::RegDeleteValueW(key_, name_.c_str());
    }
    if (key_ != nullptr) {
        ::RegCloseKey(key_);
    }
}

PythonAssociation::PythonAssociation(const std::wstring &command)
    : type_(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.py", L"", std::wstring(L"Python.File")),
      command_(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Python.File\\shell\\open\\command", L"",
               command)
{
}

std::wstring PythonAssociation::InstalledIn(const std::wstring &folder)
{
    return L"\"" + folder + L"\\python.exe\" \"%1\" %*";
}

namespace {

std::wstring RunningTestName()
{
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = test != nullptr ? record::FromUtf8(test->name()) : L"test";
    std::ranges::replace(name, L'/', L' '); // a parameterised test's name holds one
    return name;
}

// The temporary folder in its long form, without a separator at the end.
std::wstring TemporaryFolder()
{
    const std::wstring temp = win32::GrowBuffer([](wchar_t *buffer, DWORD size) {
                                  return ::GetTempPathW(size, buffer);
                              }).value_or(L"");
    std::wstring full = win32::GrowBuffer([&temp](wchar_t *buffer, DWORD size) {
                            return ::GetLongPathNameW(temp.c_str(), buffer, size);
                        }).value_or(temp);
    if (full.ends_with(L'\\')) {
        full.pop_back();
    }
    return full;
}

} // namespace

Lab::Lab() : Lab(RunningTestName()) {}

Lab::Lab(const std::wstring &name)
{
    root_ =
        TemporaryFolder() + L"\\qarvel " + name + L" " + std::to_wstring(::GetCurrentProcessId());
    RemoveTree(root_); // what an interrupted run left
    if (!MakeFolders(root_)) {
        ADD_FAILURE() << "no scratch folder, error " << ::GetLastError();
    }
    if (!::SetEnvironmentVariableW(record::FileVariable, RecordFile().c_str())) {
        ADD_FAILURE() << "the recorders are not told the record file, error " << ::GetLastError();
    }
}

void Lab::Folder(const std::wstring &relative) const
{
    EXPECT_TRUE(MakeFolders(Path(relative)))
        << "folder of " << relative.size() << " characters, error " << ::GetLastError();
}

void Lab::File(const std::wstring &relative, DWORD attributes) const
{
    EXPECT_TRUE(WriteFile(Path(relative), {}, attributes))
        << "file of " << relative.size() << " characters, error " << ::GetLastError();
}

std::vector<record::Record> Lab::WaitForRecords(size_t count) const
{
    std::vector<record::Record> records;
    WaitFor([&] { return (records = Records()).size() >= count; }, 15s);
    return records;
}

std::vector<record::Record> Lab::RecordsOf(const std::wstring &programEnd) const
{
    std::vector<record::Record> found;
    std::ranges::copy_if(Records(), std::back_inserter(found), [&](const record::Record &r) {
        return EndsWithNoCase(r.program, programEnd);
    });
    return found;
}

testing::AssertionResult Lab::LayProgram(const std::wstring &folder, Beside beside)
{
    const std::wstring base =
        folder.ends_with(L'\\') ? folder.substr(0, folder.size() - 1) : folder;
    if (base.size() > 2 && !MakeFolders(base)) {
        return testing::AssertionFailure() << "no program folder";
    }
    bool laid = CopyInto(QarvelExe(), base + L"\\Qarvel.exe") &&
                CopyInto(RecorderExe(), base + L"\\bin2iso.exe");
    laid = laid && (!beside.chdman || CopyInto(RecorderExe(), base + L"\\chdman.exe"));
    laid = laid && (!beside.chdmanAsFolder || MakeFolders(base + L"\\chdman.exe"));
    laid = laid && (!beside.ziso || WriteFile(base + L"\\ziso.py", "# stands in for the script\n"));
    return laid ? testing::AssertionSuccess()
                : testing::AssertionFailure()
                      << "program folder not laid, error " << ::GetLastError();
}

testing::AssertionResult Lab::LayWork(const std::wstring &folder)
{
    if (!MakeFolders(folder)) {
        return testing::AssertionFailure() << "no working folder";
    }
    for (const wchar_t *tool :
         {L"chdman.exe", L"ziso.py.exe", L"pip.exe", L"python.exe", L"py.exe"}) {
        if (!CopyInto(RecorderExe(), folder + L"\\" + tool)) {
            return testing::AssertionFailure()
                   << "no recorder for a tool, error " << ::GetLastError();
        }
    }
    return testing::AssertionSuccess();
}

} // namespace qarvel::drive
