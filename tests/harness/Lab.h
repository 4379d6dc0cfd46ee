#pragma once
// The one scratch folder of the Windows tests: a fresh folder under the temporary folder,
// named after the running test and removed with all it holds at the end. The recorders that
// stand in for the outside tools write into its record file. The driven tests lay the built
// Qarvel.exe in it, with what it finds beside it, and the working folder of the recorders.

#include "tests/standins/RecordFormat.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qarvel::drive {

// A path that the build knows as a Linux path, as Wine's Z: drive shows it.
std::wstring FromBuildPath(const char *linuxPath);
// The built program and the recorder that stands in for the outside tools.
const std::wstring &QarvelExe();
const std::wstring &RecorderExe();
// Checks the version record of a Qarvel.exe, the built one or the release's.
void ExpectVersionRecord(const std::wstring &exe);

using record::Variable;

// Long paths are taken in the \\?\ form: test programs are not long-path aware.
bool MakeFolders(const std::wstring &path);
bool WriteFile(const std::wstring &path, const std::string &bytes = {},
               DWORD attributes = FILE_ATTRIBUTE_NORMAL);
bool CopyInto(const std::wstring &from, const std::wstring &to);
void RemoveTree(const std::wstring &path);
// True when the text ends as given, letters compared without case.
bool EndsWithNoCase(const std::wstring &text, const std::wstring &end);

// What lies beside Qarvel.exe in a laid program folder; bin2iso.exe always does.
struct Beside {
    bool chdman = true;
    bool ziso = true;
    bool chdmanAsFolder = false;
};

// A registry value set for the owner's life, then put back as it was, or removed when there
// was none. An empty name is the key's default value.
class RegistryValue {
public:
    RegistryValue(HKEY root, const std::wstring &key, const wchar_t *name,
                  const std::wstring &text);
    RegistryValue(HKEY root, const std::wstring &key, const wchar_t *name, DWORD number);
    RegistryValue(const RegistryValue &) = delete;
    RegistryValue &operator=(const RegistryValue &) = delete;
    ~RegistryValue();
    bool IsSet() const { return set_; }

private:
    RegistryValue(HKEY root, const std::wstring &key, const wchar_t *name, DWORD type,
                  const void *data, DWORD size);
    HKEY key_ = nullptr;
    std::wstring name_;
    DWORD oldType_ = 0;
    std::optional<std::vector<BYTE>> old_;
    bool set_ = false;
};

// .py files opened by the command given, for the owner's life. In the machine's classes:
// Wine's HKEY_CLASSES_ROOT shows those alone.
class PythonAssociation {
public:
    explicit PythonAssociation(const std::wstring &command);
    // A command of Python in the folder, as the Python installer sets it up.
    static std::wstring InstalledIn(const std::wstring &folder);
    bool IsSet() const { return type_.IsSet() && command_.IsSet(); }

private:
    RegistryValue type_;
    RegistryValue command_;
};

class Lab {
public:
    // Named after the running test.
    Lab();
    explicit Lab(const std::wstring &name);
    Lab(const Lab &) = delete;
    Lab &operator=(const Lab &) = delete;
    ~Lab() { RemoveTree(root_); }

    // The long form of the path, as the program shows it.
    const std::wstring &Root() const { return root_; }
    std::wstring Path(const std::wstring &relative) const { return root_ + L"\\" + relative; }
    // Made inside the root with the folders on the way; a failure fails the test.
    void Folder(const std::wstring &relative) const;
    void File(const std::wstring &relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

    std::wstring RecordFile() const { return Path(L"record.txt"); }
    std::vector<record::Record> Records() const { return record::ReadFile(RecordFile()); }
    std::vector<record::Record> WaitForRecords(size_t count) const;
    // The records of the programs whose path ends as given.
    std::vector<record::Record> RecordsOf(const std::wstring &programEnd) const;

    // Qarvel.exe and what is to lie beside it, in the folder given (a drive root too).
    static testing::AssertionResult LayProgram(const std::wstring &folder, Beside beside = {});
    // Recorders named after the tools that the command interpreter finds by bare name.
    static testing::AssertionResult LayWork(const std::wstring &folder);

private:
    std::wstring root_;
};

} // namespace qarvel::drive
