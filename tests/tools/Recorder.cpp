// A stand-in for the outside tools: records how it was started and ends. Copies of it named
// chdman.exe, bin2iso.exe, pip.exe, ziso.py.exe or cmd.exe show tests which tool a command
// line reached and with exactly which arguments. See RecordFormat.h for the file it writes.
//
// QARVEL_RECORD            the file to append to (nothing is recorded when it is not set)
// QARVEL_RECORD_DELAY_MS   wait this long before recording, like a slow tool

#include "win32/Handles.h"
#include "RecordFormat.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

using qarvel::record::Record;

std::wstring Variable(const wchar_t *name)
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(value.size());
        const DWORD length = ::GetEnvironmentVariableW(name, value.data(), size);
        if (length < size) {
            value.resize(length); // 0 when not set
            return value;
        }
        value.resize(length);
    }
}

std::wstring OwnPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length < size) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring WorkingDirectory()
{
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring path(size, L'\0');
    path.resize(::GetCurrentDirectoryW(size, path.data()));
    return path;
}

bool Append(const std::wstring &file, const std::string &text)
{
    // FILE_APPEND_DATA alone: every write goes to the end, even with other copies writing.
    const qarvel::win::UniqueFile out(::CreateFileW(
        file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        return false;
    }
    DWORD written = 0;
    return ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) &&
           written == text.size();
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::wstring delay = Variable(qarvel::record::DelayVariable);
    if (!delay.empty()) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
    }
    const std::wstring file = Variable(qarvel::record::FileVariable);
    if (file.empty()) {
        std::fputs("recorder: QARVEL_RECORD is not set, nothing recorded\n", stderr);
        return 2;
    }
    Record record{OwnPath(), WorkingDirectory(), ::GetCommandLineW(), {}};
    for (int i = 0; i < argc; ++i) {
        record.args.emplace_back(argv[i]);
    }
    if (!Append(file, qarvel::record::Format(record))) {
        std::fprintf(stderr, "recorder: cannot append to the record file (error %lu)\n",
                     ::GetLastError());
        return 3;
    }
    return 0;
}
