#pragma once
// The file the recorder appends to, and the reading of it for tests. The record file is
// named by the environment variable QARVEL_RECORD and holds UTF-8 text, one record per
// start of a recorder copy:
//
//   [record]
//   program=<the copy's own path, GetModuleFileNameW>
//   directory=<its working directory>
//   command=<GetCommandLineW(), exactly>
//   arg=<argv[0]>
//   arg=<argv[1]>
//   ...
//   [end]
//
// Lines end in "\n". Each record is written with one append, so copies running at the same
// time never interleave their lines, and a reader sees a record only once "[end]" is there.

#include "win32/GrowBuffer.h"
#include "win32/Handles.h"
#include "win32/Text.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace qarvel::record {

inline constexpr const wchar_t *FileVariable = L"QARVEL_RECORD";
// Milliseconds the recorder waits before it records, to stand in for a slow tool.
inline constexpr const wchar_t *DelayVariable = L"QARVEL_RECORD_DELAY_MS";
// The exit code the recorder ends with once it has recorded, to stand in for a failing tool.
inline constexpr const wchar_t *ExitVariable = L"QARVEL_RECORD_EXIT";
// "none": as chdman.exe or ziso.py.exe the recorder makes no output, like a tool that fails
// before it writes. Otherwise it writes OutputBytes to its last argument as it starts.
inline constexpr const wchar_t *OutputVariable = L"QARVEL_RECORD_OUTPUT";
inline constexpr std::string_view OutputBytes = "made by the recorder\n";

inline constexpr std::string_view Begin = "[record]";
inline constexpr std::string_view End = "[end]";
inline constexpr std::string_view ProgramKey = "program=";
inline constexpr std::string_view DirectoryKey = "directory=";
inline constexpr std::string_view CommandKey = "command=";
inline constexpr std::string_view ArgKey = "arg=";

struct Record {
    std::wstring program;
    std::wstring directory;
    std::wstring commandLine;
    std::vector<std::wstring> args;
};

using win32::FromUtf8;
using win32::ToUtf8;

inline std::string Format(const Record &record)
{
    std::string out;
    const auto line = [&out](std::string_view key, std::wstring_view value) {
        out.append(key).append(ToUtf8(value)).append("\n");
    };
    out.append(Begin).append("\n");
    line(ProgramKey, record.program);
    line(DirectoryKey, record.directory);
    line(CommandKey, record.commandLine);
    for (const std::wstring &arg : record.args) {
        line(ArgKey, arg);
    }
    out.append(End).append("\n");
    return out;
}

// Every complete record in the text, in the order they were appended.
inline std::vector<Record> Parse(std::string_view text)
{
    std::vector<Record> records;
    Record current;
    bool inside = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (end == std::string_view::npos) {
            break; // a line still being written
        }
        const auto value = [line](std::string_view key) {
            return FromUtf8(line.substr(key.size()));
        };
        if (line == Begin) {
            current = Record{};
            inside = true;
        } else if (!inside) {
            continue;
        } else if (line == End) {
            records.push_back(std::move(current));
            inside = false;
        } else if (line.starts_with(ProgramKey)) {
            current.program = value(ProgramKey);
        } else if (line.starts_with(DirectoryKey)) {
            current.directory = value(DirectoryKey);
        } else if (line.starts_with(CommandKey)) {
            current.commandLine = value(CommandKey);
        } else if (line.starts_with(ArgKey)) {
            current.args.push_back(value(ArgKey));
        }
    }
    return records;
}

// The value of an environment variable of this process; empty when it is not set.
inline std::wstring Variable(const wchar_t *name)
{
    return win32::GrowBuffer([name](wchar_t *buffer, DWORD size) {
               return ::GetEnvironmentVariableW(name, buffer, size);
           })
        .value_or(L"");
}

// The path of a module of this process (the executable when null).
inline std::wstring ModulePath(HMODULE module)
{
    return win32::GrowBuffer([module](wchar_t *buffer, DWORD size) {
               return ::GetModuleFileNameW(module, buffer, size);
           })
        .value_or(L"");
}

// A record of this process, for the module given, with the arguments given.
inline Record ThisProcess(HMODULE module, std::vector<std::wstring> args)
{
    const auto directory = win32::GrowBuffer(
        [](wchar_t *buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); });
    return {ModulePath(module), directory.value_or(L""), ::GetCommandLineW(), std::move(args)};
}

// Appends the record to the file with one write: every write goes to the end, even with other
// copies writing.
inline bool Append(const std::wstring &file, const Record &record)
{
    const std::string text = Format(record);
    const win32::UniqueFile out(::CreateFileW(
        file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out &&
           ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) &&
           written == text.size();
}

// The records in the file; none when it does not exist (yet).
inline std::vector<Record> ReadFile(const std::wstring &path)
{
    const win32::UniqueFile file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return {};
    }
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        text.append(chunk, got);
    }
    return Parse(text);
}

} // namespace qarvel::record
