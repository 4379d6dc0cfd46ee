#pragma once
// A throw-away folder tree for one test: a program folder holding Qarvel.exe and whatever
// tools the case lays beside it, a working folder with recorders standing in for the tools
// that the command interpreter finds by bare name, and folders of images. Removed at the end.

#include "tests/tools/RecordFormat.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qarvel::drive {

// A path that the build knows as a Linux path, as Wine's Z: drive shows it.
std::wstring FromBuildPath(const char *linuxPath);

bool MakeFolders(const std::wstring &path);
bool WriteFile(const std::wstring &path, const std::string &bytes = {});
bool CopyInto(const std::wstring &from, const std::wstring &to);
void RemoveTree(const std::wstring &path);

class Lab {
public:
    // root: a fresh folder under the temporary folder, named after the test.
    explicit Lab(const std::wstring &name);
    Lab(const Lab &) = delete;
    Lab &operator=(const Lab &) = delete;
    ~Lab();

    const std::wstring &Root() const { return root_; }
    std::wstring Path(const std::wstring &relative) const { return root_ + L"\\" + relative; }
    std::wstring RecordFile() const { return Path(L"record.txt"); }
    std::vector<record::Record> Records() const { return record::ReadFile(RecordFile()); }
    // Waits until at least count records are there.
    std::vector<record::Record> WaitForRecords(size_t count) const;

private:
    std::wstring root_;
};

} // namespace qarvel::drive
