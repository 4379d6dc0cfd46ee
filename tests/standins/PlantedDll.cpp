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

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    // Only kernel32 calls: this runs under the loader lock, before the process is fully up.
    using namespace qarvel::record;
    const std::wstring file = Variable(FileVariable);
    if (!file.empty()) {
        Append(file, ThisProcess(self, {ModulePath(nullptr)}));
    }
    return FALSE;
}
