#pragma once
// The messages Qarvel shows before a compression that cannot work and after a tool it started
// has ended, each a whole text of Texts.h filled with the names and numbers of the run.

#include "actions/HostServices.h"
#include "Formats.h"

#include <cstdint>
#include <string>

namespace qarvel {

// "exit code 3"; above 0xFFFF in hex, as Windows' status codes are known: "exit code 0xC000013A".
std::wstring ExitCodeText(ExitCode code);

// One compression, as the messages name it.
struct CompressRun {
    const Format *format = nullptr;
    std::wstring image;     // the full path of the image
    std::wstring imageName; // its bare name, as the file label shows it
    std::uint64_t imageSize = 0;
    std::wstring folder;      // the program folder, where the output goes
    std::wstring commandLine; // exactly as started
    bool onClipboard = false; // the line was put on the clipboard too

    std::wstring OutputPath() const;
};

// Before the question.
std::wstring OutputExistsReport(const CompressRun &run);
std::wstring OutputInUseReport(const CompressRun &run);
std::wstring CueForZsoReport(const std::wstring &name);
std::wstring EmptyImageReport(const std::wstring &name);
std::wstring StillRunningReport(const CompressRun &run);
std::wstring FolderNotWritableReport(const CompressRun &run);

// After the tool has ended.
std::wstring CreatedReport(const CompressRun &run, std::uint64_t outputSize,
                           std::uint64_t milliseconds);
std::wstring NoOutputReport(const CompressRun &run);
std::wstring ToolNotFoundReport(const CompressRun &run);
std::wstring ToolFailedReport(const CompressRun &run, ExitCode code);
std::wstring LeftoverReport(const CompressRun &run, ExitCode code);
std::wstring NotRemovedReport(const CompressRun &run);
std::wstring MissingPackageReport(const CompressRun &run);
std::wstring UnknownEndReport(const CompressRun &run);
std::wstring ConverterNotFoundReport(const std::wstring &programDirectory);
std::wstring PipFailedReport(ExitCode code);

} // namespace qarvel
