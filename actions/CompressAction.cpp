#include "CommandLines.h"
#include "ImageActions.h"
#include "Texts.h"

namespace qarvel {

struct ImageActions::Format {
    std::wstring (*composeCommand)(const std::wstring &inputPath,
                                   const std::wstring &programDirectory);
    const wchar_t *confirmEnd;
    const wchar_t *report;
    bool copiesCommand; // only the ZSO line goes on the clipboard
};

const ImageActions::Format ImageActions::Chd{ChdCommand, texts::ConfirmChdEnd, texts::ChdReport,
                                             false};
const ImageActions::Format ImageActions::Zso{ZsoCommand, texts::ConfirmZsoEnd, texts::ZsoReport,
                                             true};

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
    // The list may be older than the folder: never hand a tool a file that is gone.
    if (!host_.FileExists(selectedPath_)) {
        Tell(texts::FileGone + selectedPath_, MessageStyle::Critical);
        return;
    }
    const std::wstring programDirectory = host_.ProgramDirectory();
    const std::wstring commandLine = format.composeCommand(selectedPath_, programDirectory);
    if (!IsSafeToStart(commandLine) ||
        !Ask(texts::ConfirmStart + selectedName_ + format.confirmEnd)) {
        return;
    }
    const bool copied = !format.copiesCommand || host_.SetClipboardText(commandLine);
    if (!Launch(commandLine)) {
        return;
    }
    Tell(format.report, MessageStyle::OkOnly);
    if (!copied) {
        Tell(texts::ClipboardFailed, MessageStyle::OkOnly);
    }
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
