// A library planted beside a program under the name of a system library (version.dll,
// uxtheme.dll) that the program must never load from its own folder. It exports nothing the
// real one has; when a process loads it anyway, it appends a record to the file named by
// QARVEL_RECORD (see RecordFormat.h) before anything else can happen:
//
//   program=<this library's own path>   directory=<the process's working directory>
//   command=<the process's command line> arg=<the executable that loaded it>
//
// Then it refuses to be loaded, so the process never runs with a library that lacks every
// function it expects: a program that imports it does not start, and LoadLibrary fails.

#include "RecordFormat.h"

#include <windows.h>

#include <array>
#include <string>

namespace {

// Only kernel32 calls: this runs under the loader lock, before the process is fully up.
std::wstring ModulePath(HMODULE module)
{
    std::array<wchar_t, 32768> path{};
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length < path.size() ? length : 0);
}

std::wstring Variable(const wchar_t *name)
{
    std::array<wchar_t, 32768> value{};
    const DWORD length =
        ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return std::wstring(value.data(), length < value.size() ? length : 0);
}

std::wstring WorkingDirectory()
{
    std::array<wchar_t, 32768> path{};
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    return std::wstring(path.data(), length < path.size() ? length : 0);
}

void RecordLoad(HMODULE self)
{
    const std::wstring file = Variable(qarvel::record::FileVariable);
    if (file.empty()) {
        return;
    }
    const qarvel::record::Record loaded{
        ModulePath(self), WorkingDirectory(), ::GetCommandLineW(), {ModulePath(nullptr)}};
    const std::string text = qarvel::record::Format(loaded);
    const qarvel::win::UniqueFile out(::CreateFileW(
        file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (out) {
        ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        RecordLoad(self);
        return FALSE;
    }
    return TRUE;
}
