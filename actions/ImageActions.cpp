#include "ImageActions.h"

#include <algorithm>

namespace qarvel {

std::wstring ImageActions::Compression::Tool() const
{
    return ToolName(*format);
}

std::wstring ImageActions::Compression::OutputPath() const
{
    return JoinWithBackslash(folder, format->output);
}

// --- the selection ---

void ImageActions::CaptureSelection()
{
    selectedName_ = form_.ReadSelectedFile();
    // The label shows the name before the name is looked at.
    form_.SetFileLabel(Fill(texts::FileLabel, {selectedName_}));
    namePieces_ = SplitName(selectedName_);
    // The directory the file list lists, so the path always names the listed file even when
    // another folder is highlighted but not opened.
    selectedPath_ = JoinWithBackslash(form_.ReadFileListDirectory(), selectedName_);
}

bool ImageActions::IsImageName() const
{
    return IsImagePieces(namePieces_);
}

// --- start-up and the format boxes ---

void ImageActions::OnWindowLoad()
{
    for (const Format *format : Formats) {
        form_.SetEnabled(format->box, false);
    }
    const std::wstring programDirectory = host_.ProgramDirectory();
    // The file list then lists the program directory.
    form_.SetOpenDirectory(programDirectory);
    // Each format can be chosen only when its tool lies beside the program.
    for (const Format *format : Formats) {
        if (host_.FileExists(JoinWithBackslash(programDirectory, format->toolFile))) {
            form_.SetEnabled(format->box, true);
        }
    }
}

// The two format boxes exclude each other. SetTick runs no click handling, so the box the
// user clicked keeps the value the user gave it.
void ImageActions::OnFormatBoxClicked(FormatBox clicked)
{
    const FormatBox other = clicked == FormatBox::Chd ? FormatBox::Zso : FormatBox::Chd;
    if (form_.ReadTick(other) == Tick::Ticked) {
        form_.SetTick(other, Tick::Unticked);
    }
}

// --- the compress button ---

void ImageActions::OnCompress()
{
    CaptureSelection();
    if (!IsImageName()) {
        // Also the answer when nothing is selected: there is no name to accept.
        Tell(texts::NotAnImage, MessageStyle::Critical);
        return;
    }
    // CHD is looked at first, so it wins when both boxes are ticked.
    const auto ticked = std::ranges::find_if(Formats, [this](const Format *format) {
        return form_.ReadTick(format->box) == Tick::Ticked;
    });
    if (ticked != std::end(Formats)) {
        Compress(**ticked);
    }
}

void ImageActions::Compress(const Format &format)
{
    Compression run;
    run.format = &format;
    run.image = selectedPath_;
    run.imageName = selectedName_;
    run.folder = host_.ProgramDirectory();
    if (!IsFreeToCompress(run)) {
        return;
    }
    run.commandLine = CompressCommand(format, run.image, run.folder);
    if (!IsSafeToStart(run.commandLine) ||
        !Ask(Fill(texts::Confirm, {selectedName_, format.name}))) {
        return;
    }
    // Made while the question was open, the output would not be this run's: only what was not
    // there when the tool started is taken for its own.
    if (host_.PathExists(run.OutputPath())) {
        Tell(Fill(texts::OutputExists, {format.output, run.folder, run.Tool()}),
             MessageStyle::Warning);
        return;
    }
    run.onClipboard = format.copiesCommand && host_.SetClipboardText(run.commandLine);
    const Launched launched = host_.LaunchWatchedCommand(
        run.commandLine, ShowMode::ShowMinimisedWithFocus, Watch::Always);
    if (launched.task == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
        return;
    }
    run.task = launched.task;
    run.startedAt = host_.Milliseconds();
    compressions_.push_back(run);
    // The report comes when the tool has ended; a line not copied is told now.
    if (format.copiesCommand && !run.onClipboard) {
        Tell(texts::ClipboardFailed, MessageStyle::OkOnly);
    }
}

bool ImageActions::IsFreeToCompress(Compression &run)
{
    const Format &format = *run.format;
    const auto refuse = [this](const std::wstring &why) {
        Tell(why, MessageStyle::Warning);
        return false;
    };
    if (!format.takesCueSheet && namePieces_.back() == texts::CueSheetPiece) {
        return refuse(Fill(texts::CueForZso, {run.imageName}));
    }
    // The list may be older than the folder: never hand a tool a file that is gone.
    const auto imageSize = host_.FileSize(run.image);
    if (!imageSize) {
        Tell(Fill(texts::FileGone, {run.image}), MessageStyle::Critical);
        return false;
    }
    if (*imageSize == 0) {
        return refuse(Fill(texts::EmptyImage, {run.imageName}));
    }
    run.imageSize = *imageSize;
    // One run per output: a second one would fail on the first one's file, or spoil it.
    const auto same = std::ranges::find_if(
        compressions_, [&format](const Compression &other) { return other.format == &format; });
    if (same != compressions_.end()) {
        return refuse(Fill(texts::StillRunning, {same->Tool(), format.output, same->image}));
    }
    if (!host_.CanWriteInFolder(run.folder)) {
        return refuse(Fill(texts::FolderNotWritable, {run.Tool(), format.output, run.folder}));
    }
    if (format.scriptType != nullptr && !host_.HasOpenCommand(format.scriptType)) {
        return refuse(texts::NoPython);
    }
    // Neither tool overwrites its output: the run could only fail.
    if (host_.PathExists(run.OutputPath())) {
        return refuse(host_.IsFileInUse(run.OutputPath())
                          ? Fill(texts::OutputInUse, {format.output, run.folder})
                          : Fill(texts::OutputExists, {format.output, run.folder, run.Tool()}));
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
    Tell(Fill(texts::Expansion, {expanded}), MessageStyle::Critical);
    return false;
}

// --- the converter and the labels ---

void ImageActions::OnConvert()
{
    // The converter takes no arguments; the capture only refreshes the file label.
    CaptureSelection();
    const std::wstring commandLine = ConvertCommand(host_.ProgramDirectory());
    if (IsSafeToStart(commandLine)) {
        LaunchHelper(commandLine, Helper::Converter);
    }
}

void ImageActions::OnSiteLabelClicked()
{
    Launch(Fill(texts::SiteCommand, {texts::SiteAddress}));
}

void ImageActions::OnLz4LabelClicked()
{
    LaunchHelper(texts::Lz4Command, Helper::Lz4Installer);
}

void ImageActions::LaunchHelper(const std::wstring &commandLine, Helper helper)
{
    // Each click starts one more; past what can be watched, they start unwatched.
    const Launched launched =
        host_.LaunchWatchedCommand(commandLine, ShowMode::ShowMinimisedWithFocus, Watch::IfRoom);
    if (launched.task == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
    } else if (launched.watched) {
        helpers_.emplace_back(launched.task, helper);
    }
}

void ImageActions::Launch(const std::wstring &commandLine)
{
    if (host_.LaunchCommand(commandLine, ShowMode::ShowMinimisedWithFocus) == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
    }
}

// --- how the started processes ended ---

void ImageActions::OnTaskEnded(TaskNumber task, std::optional<ExitCode> code)
{
    const auto compression = std::ranges::find_if(
        compressions_, [task](const Compression &run) { return run.task == task; });
    if (compression != compressions_.end()) {
        const Compression run = std::move(*compression);
        compressions_.erase(compression);
        OnCompressionEnded(run, code);
        return;
    }
    const auto helper = std::ranges::find_if(
        helpers_, [task](const auto &started) { return started.first == task; });
    if (helper != helpers_.end()) {
        const Helper which = helper->second;
        helpers_.erase(helper);
        OnHelperEnded(which, code);
    }
}

void ImageActions::OnCompressionEnded(const Compression &run, std::optional<ExitCode> code)
{
    // The user may be elsewhere by now: the taskbar button says the run is over.
    form_.FlashUntilActive();
    const Format &format = *run.format;
    const std::wstring tool = run.Tool();
    const auto outputSize = host_.FileSize(run.OutputPath());
    if (!code) {
        Tell(Fill(texts::UnknownEnd, {tool, format.output, run.image, run.folder}),
             MessageStyle::Warning);
    } else if (*code == 0 && outputSize) {
        Tell(Fill(texts::Created, {format.output, run.imageName, SizeText(run.imageSize),
                                   SizeText(*outputSize), PercentText(*outputSize, run.imageSize),
                                   DurationText(host_.Milliseconds() - run.startedAt)}),
             MessageStyle::OkOnly);
    } else if (*code == 0) {
        Tell(Fill(texts::NoOutput, {tool, format.output, run.folder, run.commandLine}),
             MessageStyle::Warning);
    } else if (*code == NotRecognized) {
        Tell(Fill(format.notFound, {tool, format.output}), MessageStyle::Warning);
    } else if (code == format.missingPackageCode) {
        Tell(Fill(format.missingPackage, {run.image, format.output}), MessageStyle::Warning);
    } else if (format.leavesPartOnFailure && outputSize) {
        // The output was not there when the tool started, so what is there now is its own.
        if (Ask(Fill(texts::FailedLeftover, {tool, ExitCodeText(*code), format.output, run.image,
                                             run.folder, run.commandLine}),
                MessageStyle::WarningYesNo) &&
            !host_.RemoveFile(run.OutputPath())) {
            Tell(Fill(texts::NotRemoved, {format.output, run.folder}), MessageStyle::Warning);
        }
    } else {
        Tell(Fill(run.onClipboard ? texts::FailedCopied : texts::Failed,
                  {tool, ExitCodeText(*code), format.output, run.image, run.commandLine}),
             MessageStyle::Warning);
    }
}

void ImageActions::OnHelperEnded(Helper helper, std::optional<ExitCode> code)
{
    // The converter's own failures show in its window; only a missing one is told.
    if (helper == Helper::Converter && code == NotRecognized) {
        Tell(Fill(texts::ConverterNotFound, {host_.ProgramDirectory()}), MessageStyle::Warning);
    } else if (helper == Helper::Lz4Installer && code == NotRecognized) {
        Tell(texts::PipNotFound, MessageStyle::Warning);
    } else if (helper == Helper::Lz4Installer && code && *code != 0) {
        Tell(Fill(texts::PipFailed, {ExitCodeText(*code)}), MessageStyle::Warning);
    }
}

void ImageActions::OnWindowClosed()
{
    compressions_.clear();
    helpers_.clear();
}

bool ImageActions::Ask(const std::wstring &prompt, MessageStyle style)
{
    return host_.ShowMessageBox(prompt, style) == Answer::AnswerYes;
}

void ImageActions::Tell(const std::wstring &prompt, MessageStyle style)
{
    host_.ShowMessageBox(prompt, style);
}

} // namespace qarvel
