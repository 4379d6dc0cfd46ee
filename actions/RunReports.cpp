#include "RunReports.h"

#include "Texts.h"

namespace qarvel {

using namespace texts::report;

std::wstring ExitCodeText(ExitCode code)
{
    if (code <= LargestDecimalExitCode) {
        return ExitCodeStart + std::to_wstring(code);
    }
    std::wstring hex = L"0x00000000";
    code &= 0xFFFFFFFFUL; // a Windows exit code has 32 bits
    for (auto digit = hex.rbegin(); code != 0; ++digit, code >>= 4U) {
        *digit = L"0123456789ABCDEF"[code & 0xFU];
    }
    return ExitCodeStart + hex;
}

std::wstring OutputExistsReport(const CompressRun &run, const std::wstring &folder)
{
    return OutputExistsStart + run.output + OutputExistsIn + folder + OutputExistsTool + run.tool +
           OutputExistsEnd;
}

std::wstring CueForZsoReport(const std::wstring &name)
{
    return name + CueForZsoEnd;
}

std::wstring StillRunningReport(const CompressRun &run)
{
    return run.tool + StillRunningMaking + run.output + StillRunningFrom + run.image +
           StillRunningEnd;
}

std::wstring ToolNotFoundReport(const CompressRun &run)
{
    return run.tool + NotFoundSo + run.output + NotFoundNotMade + run.toolFile + NotFoundEnd;
}

std::wstring ToolFailedReport(const CompressRun &run, ExitCode code)
{
    std::wstring text = run.tool + FailedEndedWith + ExitCodeText(code) + FailedMaking +
                        run.output + FailedFrom + run.image + FailedOutput + run.output +
                        FailedIncomplete + run.tool + FailedOwnMessage + run.commandLine;
    if (run.onClipboard) {
        text += FailedOnClipboard;
    }
    return text;
}

std::wstring ConverterNotFoundReport(const std::wstring &programDirectory)
{
    return ConverterNotFoundStart + programDirectory + ConverterNotFoundEnd;
}

std::wstring PipFailedReport(ExitCode code)
{
    return PipFailedStart + ExitCodeText(code) + PipFailedEnd;
}

} // namespace qarvel
