#include "RunReports.h"

#include "Texts.h"

namespace qarvel {

using namespace texts::report;

namespace {

// The code's digits in the base, at least `width` of them; written here because
// std::to_wstring would bring the C library's whole formatted printing into the program.
std::wstring Digits(ExitCode code, ExitCode base, size_t width)
{
    std::wstring digits;
    while (code != 0 || digits.size() < width) {
        digits.insert(digits.begin(), L"0123456789ABCDEF"[code % base]);
        code /= base;
    }
    return digits;
}

} // namespace

std::wstring ExitCodeText(ExitCode code)
{
    code &= 0xFFFFFFFFUL; // a Windows exit code has 32 bits
    if (code <= LargestDecimalExitCode) {
        return ExitCodeStart + Digits(code, 10, 1);
    }
    return ExitCodeStart + (L"0x" + Digits(code, 16, 8));
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
