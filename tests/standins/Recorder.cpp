// A stand-in for the outside tools: records how it was started and ends. Copies of it named
// chdman.exe, bin2iso.exe, pip.exe, ziso.py.exe or cmd.exe show tests which tool a command
// line reached and with exactly which arguments. See RecordFormat.h for the file it writes.
//
// QARVEL_RECORD            the file to append to (nothing is recorded when it is not set)
// QARVEL_RECORD_DELAY_MS   wait this long before recording, like a slow tool
// QARVEL_RECORD_EXIT       end with this exit code after recording, like a failing tool

#include "RecordFormat.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

using namespace qarvel::record;

int wmain(int argc, wchar_t **argv)
{
    const std::wstring delay = Variable(DelayVariable);
    if (!delay.empty()) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
    }
    const std::wstring file = Variable(FileVariable);
    if (file.empty()) {
        std::fputs("recorder: QARVEL_RECORD is not set, nothing recorded\n", stderr);
        return 2;
    }
    if (!Append(file, ThisProcess(nullptr, std::vector<std::wstring>(argv, argv + argc)))) {
        std::fprintf(stderr, "recorder: cannot append to the record file (error %lu)\n",
                     ::GetLastError());
        return 3;
    }
    return static_cast<int>(std::wcstoul(Variable(ExitVariable).c_str(), nullptr, 10));
}
