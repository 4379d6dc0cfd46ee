#include "RunReports.h"

#include "CommandLines.h"
#include "Texts.h"
#include "Wording.h"

namespace qarvel {

using namespace texts::report;

std::wstring ExitCodeText(ExitCode code)
{
    code &= 0xFFFFFFFFUL; // a Windows exit code has 32 bits
    if (code <= LargestDecimalExitCode) {
        return ExitCodeStart + Digits(code);
    }
    return ExitCodeStart + (L"0x" + Digits(code, 16, 8));
}

std::wstring CompressRun::OutputPath() const
{
    return JoinPath(folder, format->outputName);
}

std::wstring OutputExistsReport(const CompressRun &run)
{
    return Fill(OutputExists, {run.format->outputName, run.folder, run.format->tool});
}

std::wstring OutputInUseReport(const CompressRun &run)
{
    return Fill(OutputInUse, {run.format->outputName, run.folder});
}

std::wstring CueForZsoReport(const std::wstring &name)
{
    return Fill(CueForZso, {name});
}

std::wstring EmptyImageReport(const std::wstring &name)
{
    return Fill(EmptyImage, {name});
}

std::wstring StillRunningReport(const CompressRun &run)
{
    return Fill(StillRunning, {run.format->tool, run.format->outputName, run.image});
}

std::wstring FolderNotWritableReport(const CompressRun &run)
{
    return Fill(FolderNotWritable, {run.format->tool, run.format->outputName, run.folder});
}

std::wstring CreatedReport(const CompressRun &run, std::uint64_t outputSize,
                           std::uint64_t milliseconds)
{
    return Fill(Created, {run.format->report, run.imageName, SizeText(run.imageSize),
                          run.format->outputName, SizeText(outputSize),
                          PercentText(outputSize, run.imageSize), DurationText(milliseconds)});
}

std::wstring NoOutputReport(const CompressRun &run)
{
    return Fill(NoOutput, {run.format->tool, run.format->outputName, run.folder, run.commandLine});
}

std::wstring ToolNotFoundReport(const CompressRun &run)
{
    return Fill(run.format->notFound, {run.format->tool, run.format->outputName});
}

std::wstring ToolFailedReport(const CompressRun &run, ExitCode code)
{
    return Fill(
        run.onClipboard ? FailedCopied : Failed,
        {run.format->tool, ExitCodeText(code), run.format->outputName, run.image, run.commandLine});
}

std::wstring LeftoverReport(const CompressRun &run, ExitCode code)
{
    return Fill(FailedLeftover, {run.format->tool, ExitCodeText(code), run.format->outputName,
                                 run.image, run.folder, run.commandLine});
}

std::wstring NotRemovedReport(const CompressRun &run)
{
    return Fill(NotRemoved, {run.format->outputName, run.folder});
}

std::wstring MissingPackageReport(const CompressRun &run)
{
    return Fill(run.format->missingPackage, {run.image, run.format->outputName});
}

std::wstring UnknownEndReport(const CompressRun &run)
{
    return Fill(UnknownEnd, {run.format->tool, run.format->outputName, run.image, run.folder});
}

std::wstring ConverterNotFoundReport(const std::wstring &programDirectory)
{
    return Fill(ConverterNotFound, {programDirectory});
}

std::wstring PipFailedReport(ExitCode code)
{
    return Fill(PipFailed, {ExitCodeText(code)});
}

} // namespace qarvel
