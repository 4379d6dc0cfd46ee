#pragma once
// The messages Qarvel shows before a compression that cannot work and after a tool it started
// has ended, put together from the fixed texts and the names of the run.

#include "actions/HostServices.h"

#include <string>

namespace qarvel {

// "exit code 3"; above 0xFFFF in hex, as Windows' status codes are known: "exit code 0xC000013A".
std::wstring ExitCodeText(ExitCode code);

// The names of one compression, as the messages give them.
struct CompressRun {
    std::wstring tool;        // "chdman"
    std::wstring toolFile;    // "chdman.exe", beside Qarvel.exe
    std::wstring output;      // "NEW.CHD"
    std::wstring image;       // the full path of the image
    std::wstring commandLine; // exactly as started
    bool onClipboard = false; // the line was put on the clipboard too
};

std::wstring OutputExistsReport(const CompressRun &run, const std::wstring &folder);
std::wstring CueForZsoReport(const std::wstring &name);
std::wstring StillRunningReport(const CompressRun &run);
std::wstring ToolNotFoundReport(const CompressRun &run);
std::wstring ToolFailedReport(const CompressRun &run, ExitCode code);
std::wstring ConverterNotFoundReport(const std::wstring &programDirectory);
std::wstring PipFailedReport(ExitCode code);

} // namespace qarvel
