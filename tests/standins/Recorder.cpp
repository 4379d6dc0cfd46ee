// A stand-in for the outside tools: records how it was started and ends. Copies of it named
// chdman.exe, bin2iso.exe, pip.exe, ziso.py.exe or cmd.exe show tests which tool a command
// line reached and with exactly which arguments. See RecordFormat.h for the file it writes.
// As chdman.exe or ziso.py.exe it makes its output, the last argument, as it starts and holds
// it open until it ends, as the tools do.
//
// QARVEL_RECORD            the file to append to (nothing is recorded when it is not set)
// QARVEL_RECORD_DELAY_MS   wait this long before recording, like a slow tool
// QARVEL_RECORD_EXIT       end with this exit code after recording, like a failing tool
// QARVEL_RECORD_OUTPUT     "none": make no output

#include "RecordFormat.h"

#include "win32/Paths.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

using namespace qarvel::record;

namespace {

bool IsCompressor(const std::wstring &program)
{
    const std::wstring name = program.substr(program.find_last_of(L'\\') + 1);
    return ::CompareStringOrdinal(name.c_str(), -1, L"chdman.exe", -1, TRUE) == CSTR_EQUAL ||
           ::CompareStringOrdinal(name.c_str(), -1, L"ziso.py.exe", -1, TRUE) == CSTR_EQUAL;
}

// The output, made and held open while the tool runs; nothing when it is not to be made.
qarvel::win32::UniqueFile MakeOutput(const std::wstring &path)
{
    qarvel::win32::UniqueFile file(::CreateFileW(qarvel::win32::ExtendedLengthPath(path).c_str(),
                                                 GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
    DWORD written = 0;
    if (file) {
        ::WriteFile(file.get(), OutputBytes.data(), static_cast<DWORD>(OutputBytes.size()),
                    &written, nullptr);
    }
    return file;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    qarvel::win32::UniqueFile output;
    if (argc > 1 && IsCompressor(ModulePath(nullptr)) && Variable(OutputVariable) != L"none") {
        output = MakeOutput(argv[argc - 1]);
    }
    const std::wstring delay = Variable(DelayVariable);
    if (!delay.empty()) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
    }
    output.reset();
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
