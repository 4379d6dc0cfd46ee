#include "CommandLines.h"
#include "ImageActions.h"
#include "RunReports.h"
#include "Texts.h"

#include <algorithm>

namespace qarvel {

struct ImageActions::Format {
    std::wstring (*composeCommand)(const std::wstring &inputPath,
                                   const std::wstring &programDirectory);
    const wchar_t *confirmEnd;
    const wchar_t *report;
    bool copiesCommand; // only the ZSO line goes on the clipboard
    bool takesCueSheet; // a ZSO is made from the image itself, never from a track list
    const wchar_t *tool;
    const wchar_t *toolFile;
    const wchar_t *outputName;
};

const ImageActions::Format ImageActions::Chd{.composeCommand = ChdCommand,
                                             .confirmEnd = texts::ConfirmChdEnd,
                                             .report = texts::ChdReport,
                                             .copiesCommand = false,
                                             .takesCueSheet = true,
                                             .tool = texts::ChdTool,
                                             .toolFile = texts::ChdToolFile,
                                             .outputName = texts::ChdOutputName};
const ImageActions::Format ImageActions::Zso{.composeCommand = ZsoCommand,
                                             .confirmEnd = texts::ConfirmZsoEnd,
                                             .report = texts::ZsoReport,
                                             .copiesCommand = true,
                                             .takesCueSheet = false,
                                             .tool = texts::ZsoTool,
                                             .toolFile = texts::ZsoToolFile,
                                             .outputName = texts::ZsoOutputName};

CompressRun ImageActions::NamesOf(const Format &format, const std::wstring &image,
                                  const std::wstring &commandLine, bool onClipboard)
{
    return {format.tool, format.toolFile, format.outputName, image, commandLine, onClipboard};
}

void ImageActions::CaptureSelection()
{
    selectedName_ = form_.ReadSelectedFile();
    // The label shows the name before the name is looked at.
    form_.SetFileLabel(texts::FileLabelStart + selectedName_);
    namePieces_ = SplitName(selectedName_);
    // The directory File1 lists, so the path always names the listed file even when another
    // entry of Dir1 is highlighted but not opened.
    selectedPath_ = JoinPath(form_.ReadFileListDirectory(), selectedName_);
}

bool ImageActions::IsImageName() const
{
    return IsImagePieces(namePieces_);
}

void ImageActions::OnCompress()
{
    CaptureSelection();
    if (!IsImageName()) {
        // Also the answer when nothing is selected: there is no name to accept.
        Tell(texts::NotAnImage, MessageStyle::Critical);
        return;
    }
    if (form_.ReadTick(FormatBox::Check1) == Tick::Ticked) {
        Compress(Chd);
    } else if (form_.ReadTick(FormatBox::Check2) == Tick::Ticked) {
        Compress(Zso);
    }
}

void ImageActions::Compress(const Format &format)
{
    const std::wstring programDirectory = host_.ProgramDirectory();
    if (!IsFreeToCompress(format, programDirectory)) {
        return;
    }
    // The list may be older than the folder: never hand a tool a file that is gone.
    if (!host_.FileExists(selectedPath_)) {
        Tell(texts::FileGone + selectedPath_, MessageStyle::Critical);
        return;
    }
    const std::wstring commandLine = format.composeCommand(selectedPath_, programDirectory);
    if (!IsSafeToStart(commandLine) ||
        !Ask(texts::ConfirmStart + selectedName_ + format.confirmEnd)) {
        return;
    }
    const bool copied = format.copiesCommand && host_.SetClipboardText(commandLine);
    if (!LaunchWatched(commandLine, {NoTask, Job::Compress, &format,
                                     NamesOf(format, selectedPath_, commandLine, copied)})) {
        return;
    }
    Tell(format.report, MessageStyle::OkOnly);
    if (format.copiesCommand && !copied) {
        Tell(texts::ClipboardFailed, MessageStyle::OkOnly);
    }
}

bool ImageActions::IsFreeToCompress(const Format &format, const std::wstring &programDirectory)
{
    if (!format.takesCueSheet && namePieces_.back() == texts::CueSheetPiece) {
        Tell(CueForZsoReport(selectedName_), MessageStyle::Warning);
        return false;
    }
    // One run per output: a second one would fail on the first one's file, or spoil it.
    const auto same =
        std::ranges::find_if(running_, [&format](const Run &run) { return run.format == &format; });
    if (same != running_.end()) {
        Tell(StillRunningReport(same->names), MessageStyle::Warning);
        return false;
    }
    // Neither tool overwrites its output: the run would fail after Qarvel said it started.
    if (host_.PathExists(JoinPath(programDirectory, format.outputName))) {
        Tell(OutputExistsReport(NamesOf(format, selectedPath_, {}, false), programDirectory),
             MessageStyle::Warning);
        return false;
    }
    return true;
}

bool ImageActions::IsSafeToStart(const std::wstring &commandLine)
{
    const std::wstring expanded = FindExpansion(commandLine, [this](const std::wstring &name) {
        return host_.IsEnvironmentVariable(name);
    });
    if (expanded.empty()) {
        return true;
    }
    Tell(texts::ExpansionStart + expanded + texts::ExpansionEnd, MessageStyle::Critical);
    return false;
}

bool ImageActions::Launch(const std::wstring &commandLine)
{
    if (host_.LaunchCommand(commandLine, ShowMode::ShowMinimisedWithFocus) == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
        return false;
    }
    return true;
}

bool ImageActions::Ask(const std::wstring &prompt)
{
    return host_.ShowMessageBox(prompt, MessageStyle::YesNo) == Answer::AnswerYes;
}

void ImageActions::Tell(const std::wstring &prompt, MessageStyle style)
{
    host_.ShowMessageBox(prompt, style);
}

} // namespace qarvel
