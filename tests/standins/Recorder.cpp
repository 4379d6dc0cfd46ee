// A stand-in for the outside tools: records how it was started and ends. Copies of it named
// chdman.exe, bin2iso.exe, pip.exe, ziso.py.exe or cmd.exe show tests which tool a command
// line reached and with exactly which arguments. See RecordFormat.h for the file it writes.
// As chdman.exe or ziso.py.exe it makes its output, the last argument, as it starts and holds
// it open until it ends, as the tools do. As chdman.exe it first opens its input (-i) as the
// chdman of Windows does, through the ANSI code page on the UTF-8 text of the path, so a path
// with a letter outside ASCII is not found; and of a cue sheet it reads every FILE the same
// way, failing on a byte-order mark. Each failure prints chdman's message, is recorded and ends
// with exit code 1 without any output.
//
// QARVEL_RECORD            the file to append to (nothing is recorded when it is not set)
// QARVEL_RECORD_DELAY_MS   wait this long before recording, like a slow tool
// QARVEL_RECORD_EXIT       end with this exit code after recording, like a failing tool
// QARVEL_RECORD_OUTPUT     "none": make no output

#include "RecordFormat.h"

#include "actions/Preflight.h"
#include "actions/Texts.h"
#include "win32/Paths.h"
#include "win32/Text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

using namespace qarvel::record;

namespace {

// True when the program's file is named so, letters in any case.
bool IsNamed(const std::wstring &program, const wchar_t *name)
{
    const std::wstring file = program.substr(program.find_last_of(L'\\') + 1);
    return ::CompareStringOrdinal(file.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
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

// The file's bytes, opened as chdman's CD reader opens it; nothing when it cannot be.
std::optional<std::string> ReadNarrowly(const std::wstring &path)
{
    const qarvel::win32::UniqueFile file(
        ::CreateFileA(qarvel::win32::ToUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

// True when chdman could read its input: the image, or a cue sheet and every file it names.
bool ChdmanReadsInput(const std::wstring &input)
{
    const auto bytes = ReadNarrowly(input);
    if (!bytes || !input.ends_with(L".cue")) {
        return bytes.has_value();
    }
    if (bytes->starts_with("\xEF\xBB\xBF")) {
        return false;
    }
    const std::wstring folder = qarvel::FolderOf(input);
    for (const std::wstring &name : qarvel::CueSheetFiles(qarvel::win32::FromUtf8(*bytes))) {
        if (!ReadNarrowly(qarvel::CueFilePath(folder, name))) {
            return false;
        }
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::wstring program = ModulePath(nullptr);
    const std::vector<std::wstring> args(argv, argv + argc);
    const auto input = std::ranges::find(args, std::wstring(L"-i"));
    const bool chdman = IsNamed(program, L"chdman.exe");
    if (chdman && input != args.end() && input + 1 != args.end() &&
        !ChdmanReadsInput(*(input + 1))) {
        std::fprintf(stderr, "Error parsing input file (%s: No such file or directory)\n",
                     qarvel::win32::ToUtf8(*(input + 1)).c_str());
        Append(Variable(FileVariable), ThisProcess(nullptr, args));
        return 1;
    }
    qarvel::win32::UniqueFile output;
    if (argc > 1 && (chdman || IsNamed(program, L"ziso.py.exe")) &&
        Variable(OutputVariable) != L"none") {
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
