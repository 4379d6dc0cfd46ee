#include "CommandLines.h"
#include "ImageActions.h"
#include "RunReports.h"
#include "Texts.h"

#include <algorithm>

namespace qarvel {

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
    CompressRun run;
    run.format = &format;
    run.image = selectedPath_;
    run.imageName = selectedName_;
    run.folder = host_.ProgramDirectory();
    if (!IsFreeToCompress(run)) {
        return;
    }
    run.commandLine = format.composeCommand(selectedPath_, run.folder);
    if (!IsSafeToStart(run.commandLine) ||
        !Ask(texts::ConfirmStart + selectedName_ + format.confirmEnd)) {
        return;
    }
    // Made while the question was open, the output would not be this run's: only what was not
    // there when the tool started may be taken for its own.
    if (host_.PathExists(run.OutputPath())) {
        Tell(OutputExistsReport(run), MessageStyle::Warning);
        return;
    }
    run.onClipboard = format.copiesCommand && host_.SetClipboardText(run.commandLine);
    const Launched launched = host_.LaunchWatchedCommand(
        run.commandLine, ShowMode::ShowMinimisedWithFocus, Watch::Always);
    if (launched.task == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
        return;
    }
    running_.push_back({launched.task, Job::Compress, run, host_.Milliseconds()});
    // The report comes when the tool has ended; a line not copied is told now.
    if (format.copiesCommand && !run.onClipboard) {
        Tell(texts::ClipboardFailed, MessageStyle::OkOnly);
    }
}

bool ImageActions::IsFreeToCompress(CompressRun &run)
{
    const Format &format = *run.format;
    const auto refuse = [this](const std::wstring &why) {
        Tell(why, MessageStyle::Warning);
        return false;
    };
    if (!format.takesCueSheet && namePieces_.back() == texts::CueSheetPiece) {
        return refuse(CueForZsoReport(selectedName_));
    }
    // The list may be older than the folder: never hand a tool a file that is gone.
    const auto imageSize = host_.FileSize(run.image);
    if (!imageSize) {
        Tell(texts::FileGone + run.image, MessageStyle::Critical);
        return false;
    }
    if (*imageSize == 0) {
        return refuse(EmptyImageReport(selectedName_));
    }
    run.imageSize = *imageSize;
    // One run per output: a second one would fail on the first one's file, or spoil it.
    const auto same = std::ranges::find_if(running_, [&format](const Run &other) {
        return other.job == Job::Compress && other.compress.format == &format;
    });
    if (same != running_.end()) {
        return refuse(StillRunningReport(same->compress));
    }
    if (!host_.CanWriteInFolder(run.folder)) {
        return refuse(FolderNotWritableReport(run));
    }
    if (format.scriptType != nullptr && !host_.HasOpenCommand(format.scriptType)) {
        return refuse(texts::report::NoPython);
    }
    // Neither tool overwrites its output: the run could only fail.
    if (host_.PathExists(run.OutputPath())) {
        return refuse(host_.IsFileInUse(run.OutputPath()) ? OutputInUseReport(run)
                                                          : OutputExistsReport(run));
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
