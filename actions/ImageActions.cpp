#include "ImageActions.h"

#include "Preflight.h"

#include <algorithm>
#include <initializer_list>

namespace qarvel {

namespace {

// The compress button as a message names it.
std::wstring CompressButton()
{
    return Trimmed(texts::CompressCaption);
}

} // namespace

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
    if (!IsSafeToStart(run.commandLine, {run.image, run.OutputPath()}) ||
        !Ask(Fill(texts::Confirm, {selectedName_, format.name}))) {
        return;
    }
    // Made while the question was open, the output would not be this run's: only what was not
    // there when the tool started is taken for its own.
    if (host_.PathExists(run.OutputPath())) {
        Tell(Fill(texts::OutputExists, {format.output, run.folder, run.Tool(), CompressButton()}),
             MessageStyle::Warning);
        return;
    }
    run.onClipboard = format.copiesCommand && host_.SetClipboardText(run.commandLine);
    // The time a run takes counts its start too.
    run.startedAt = host_.Milliseconds();
    const Launched launched = host_.LaunchWatchedCommand(
        run.commandLine, ShowMode::ShowMinimisedWithFocus, Watch::Always);
    if (launched.task == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
        return;
    }
    run.task = launched.task;
    compressions_.push_back(run);
    // The report comes when the tool has ended; a line not copied is told now.
    if (format.copiesCommand && !run.onClipboard) {
        Tell(texts::ClipboardFailed, MessageStyle::OkOnly);
    }
}

bool ImageActions::IsFreeToCompress(Compression &run)
{
    const Format &format = *run.format;
    const bool isCueSheet = namePieces_.back() == texts::CueSheetPiece;
    if (!format.takesCueSheet && isCueSheet) {
        return Refuse(Fill(texts::CueForZso, {run.imageName, Trimmed(texts::ChdCaption)}));
    }
    // The list may be older than the folder: never hand a tool a file that is gone.
    const auto imageSize = host_.FileSize(run.image);
    if (!imageSize) {
        Tell(Fill(texts::FileGone, {run.image}), MessageStyle::Critical);
        return false;
    }
    run.imageSize = *imageSize;
    if (HasNonAscii(run.image)) {
        run.nonAsciiPath = run.image;
    }
    if (isCueSheet && !HasTrackFiles(run)) {
        return false;
    }
    if (run.imageSize == 0) {
        return Refuse(Fill(texts::EmptyImage, {run.imageName}));
    }
    // One run per output: a second one would fail on the first one's file, or spoil it.
    const auto same = std::ranges::find_if(
        compressions_, [&format](const Compression &other) { return other.format == &format; });
    if (same != compressions_.end()) {
        return Refuse(Fill(texts::StillRunning,
                           {same->Tool(), format.output, same->image, CompressButton()}));
    }
    if (!host_.CanWriteInFolder(run.folder)) {
        return Refuse(Fill(texts::FolderNotWritable, {run.Tool(), format.output, run.folder}));
    }
    if (format.scriptType != nullptr && !CanRunScript(run)) {
        return false;
    }
    // Neither tool overwrites its output: the run could only fail.
    if (host_.PathExists(run.OutputPath())) {
        return Refuse(host_.IsFileInUse(run.OutputPath())
                          ? Fill(texts::OutputInUse, {format.output, run.folder, CompressButton()})
                          : Fill(texts::OutputExists,
                                 {format.output, run.folder, run.Tool(), CompressButton()}));
    }
    return true;
}

bool ImageActions::HasTrackFiles(Compression &run)
{
    const TextFile sheet = host_.ReadTextFile(run.image, texts::LargestCueSheet);
    if (sheet.status == TextFile::Status::TooLarge) {
        return Refuse(Fill(texts::CueTooLarge, {run.imageName}));
    }
    if (sheet.status == TextFile::Status::Unreadable) {
        Tell(Fill(texts::FileGone, {run.image}), MessageStyle::Critical);
        return false;
    }
    const std::vector<std::wstring> names = CueSheetFiles(sheet.text);
    if (names.empty()) {
        return Refuse(Fill(texts::CueNamesNoFile, {run.imageName}));
    }
    // The tracks are what the tool compresses: the sheet's own size counts for nothing.
    run.imageSize = 0;
    for (const std::wstring &name : names) {
        const std::wstring path = CueFilePath(FolderOf(run.image), name);
        const auto size = host_.FileSize(path);
        if (!size) {
            return Refuse(Fill(texts::CueFileMissing,
                               {run.imageName, name, FolderOf(path), CompressButton()}));
        }
        run.imageSize += *size;
        if (run.nonAsciiPath.empty() && HasNonAscii(path)) {
            run.nonAsciiPath = path;
        }
    }
    run.cueByteOrderMark = sheet.byteOrderMark;
    return true;
}

bool ImageActions::CanRunScript(Compression &run)
{
    const Opener opener = host_.OpenerOf(run.format->scriptType);
    if (opener.packaged) {
        return Refuse(Fill(texts::PackagedPython, {CompressButton()}));
    }
    if (!opener.found) {
        return Refuse(Fill(texts::NoPython, {CompressButton()}));
    }
    // Only what must fail is refused: a command that cannot be read, or that starts the script
    // itself ("%1" %*), may well run it.
    const std::wstring program = OpenerProgram(opener.command);
    if (program.empty() || program.starts_with(L'%')) {
        return true;
    }
    if (!IsPythonProgram(program)) {
        return Refuse(Fill(texts::NotPython, {FileNameOf(program), CompressButton()}));
    }
    if (!PassesArguments(opener.command)) {
        return Refuse(Fill(texts::PythonGetsNoArguments, {opener.command, CompressButton()}));
    }
    run.pythonChecked = true;
    return true;
}

bool ImageActions::IsSafeToStart(const std::wstring &commandLine,
                                 std::initializer_list<std::wstring> paths)
{
    const std::wstring expanded = FindExpansion(commandLine, [this](const std::wstring &name) {
        return host_.IsEnvironmentVariable(name);
    });
    if (expanded.empty()) {
        return true;
    }
    // The path that holds it; the whole line when it reaches from one path into the next.
    const auto holder = std::ranges::find_if(paths, [&expanded](const std::wstring &path) {
        return path.find(expanded) != std::wstring::npos;
    });
    Tell(Fill(texts::Expansion, {expanded, holder != paths.end() ? *holder : commandLine}),
         MessageStyle::Critical);
    return false;
}

// --- the converter and the labels ---

void ImageActions::OnConvert()
{
    // The converter takes no arguments; the capture only refreshes the file label.
    CaptureSelection();
    const std::wstring programDirectory = host_.ProgramDirectory();
    const std::wstring commandLine = ConvertCommand(programDirectory);
    if (IsSafeToStart(commandLine, {JoinWithBackslash(programDirectory, texts::ConverterFile)})) {
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
    const auto own = std::ranges::find_if(
        format.codes, [&code](const ToolCode &known) { return code == known.code; });
    if (!code) {
        Tell(Fill(texts::UnknownEnd, {tool, format.output, run.image, run.folder}),
             MessageStyle::Warning);
    } else if (*code == 0 && outputSize) {
        Tell(Fill(texts::Created, {format.output, run.imageName, SizeText(run.imageSize),
                                   SizeText(*outputSize), PercentText(*outputSize, run.imageSize),
                                   DurationText(host_.Milliseconds() - run.startedAt)}),
             MessageStyle::OkOnly);
        OfferName(run);
    } else if (*code == 0) {
        Tell(Fill(texts::NoOutput, {tool, format.output, run.folder, run.commandLine}),
             MessageStyle::Warning);
    } else if (*code == texts::NotRecognized) {
        Tell(NotFoundText(run), MessageStyle::Warning);
    } else if (own != format.codes.end()) {
        const auto room = host_.RoomOnDisk(run.folder);
        Tell(Fill(own->text, {run.image, format.output, room ? room->disk : run.folder,
                              SizeText(run.imageSize), CompressButton(), texts::Lz4Caption}),
             MessageStyle::Warning);
    } else {
        OnFailure(run, *code, format.leavesPartOnFailure && outputSize);
    }
}

std::wstring ImageActions::NotFoundText(const Compression &run)
{
    const Format &format = *run.format;
    const std::wstring working = host_.WorkingDirectory();
    // The one cause that holds, where Qarvel can tell: the box was enabled because the tool
    // lay beside Qarvel.exe at the start.
    const wchar_t *text = format.scriptType != nullptr && !run.pythonChecked
                              ? texts::ToolOrPythonNotFound
                              : texts::ToolNotFound;
    if (!host_.FileExists(JoinWithBackslash(run.folder, format.toolFile))) {
        text = texts::ToolGone;
    } else if (!working.empty() && !IsSamePath(working, run.folder)) {
        text = texts::StartedElsewhere;
    }
    return Fill(
        text, {run.Tool(), format.output, format.toolFile, run.folder, working, CompressButton()});
}

void ImageActions::OnFailure(const Compression &run, ExitCode code, bool leftOutput)
{
    const Format &format = *run.format;
    const std::wstring tool = run.Tool();
    // Each cause Qarvel can see, in a sentence of its own.
    const std::wstring nonAscii =
        format.opensInputNarrowly && !run.nonAsciiPath.empty()
            ? Fill(texts::NonAsciiPath, {run.nonAsciiPath, CompressButton()})
            : std::wstring{};
    const std::wstring byteOrderMark =
        run.cueByteOrderMark ? Fill(texts::CueByteOrderMark, {run.imageName}) : std::wstring{};
    const auto room = host_.RoomOnDisk(run.folder);
    const std::wstring lowOnRoom =
        room && room->free < run.imageSize
            ? Fill(texts::LowOnRoom, {room->disk, SizeText(room->free), SizeText(run.imageSize)})
            : std::wstring{};
    const auto offerToDelete = [this, &run](const std::wstring &prompt, const std::wstring &path) {
        if (Ask(prompt, MessageStyle::WarningYesNo) && !host_.RemoveFile(path)) {
            Tell(Fill(texts::NotRemoved, {FileNameOf(path), run.folder, CompressButton()}),
                 MessageStyle::Warning);
        }
    };
    if (leftOutput) {
        // The output was not there when the tool started, so what is there now is its own.
        offerToDelete(
            Paragraphs({Fill(texts::FailedLeftover,
                             {tool, ExitCodeText(code), format.output, run.image, run.folder}),
                        nonAscii, byteOrderMark, lowOnRoom,
                        Fill(texts::RunByHandAfterDeleting, {tool, run.commandLine}),
                        Fill(texts::DeleteLeftover, {format.output})}),
            run.OutputPath());
        return;
    }
    const std::wstring told = Paragraphs(
        {Fill(texts::Failed, {tool, ExitCodeText(code), format.output, run.image}), nonAscii,
         byteOrderMark, lowOnRoom, Fill(texts::RunByHand, {tool, run.commandLine}),
         run.onClipboard ? texts::LineCopied : L""});
    // A killed script may leave its temporary file; one that a program holds open is a live
    // run's.
    if (format.temporaryFiles != nullptr) {
        for (const std::wstring &name : host_.FilesIn(run.folder, format.temporaryFiles)) {
            const std::wstring path = JoinWithBackslash(run.folder, name);
            const auto size = host_.FileSize(path);
            if (size && !host_.IsFileInUse(path)) {
                offerToDelete(Paragraphs({told, Fill(texts::DeleteTemporary,
                                                     {tool, name, SizeText(*size), run.folder})}),
                              path);
                return;
            }
        }
    }
    Tell(told, MessageStyle::Warning);
}

void ImageActions::OfferName(const Compression &run)
{
    const Format &format = *run.format;
    const std::wstring name = NamedAfterImage(run.imageName, format);
    // "new.iso" would give the name it has.
    if (IsSamePath(name, format.output) ||
        !Ask(Fill(texts::NameAfterImage, {format.output, name, run.folder}),
             MessageStyle::YesNoNoFirst)) {
        return;
    }
    switch (host_.RenameFile(run.OutputPath(), name)) {
    case Renamed::Done:
        break;
    case Renamed::NameTaken:
        Tell(Fill(texts::NameTaken, {format.output, name, run.folder}), MessageStyle::Warning);
        break;
    case Renamed::Failed:
        Tell(Fill(texts::RenameFailed, {format.output, name, run.folder}), MessageStyle::Warning);
        break;
    }
}

void ImageActions::OnHelperEnded(Helper helper, std::optional<ExitCode> code)
{
    // The converter's own failures show in its window; only a missing one is told.
    if (helper == Helper::Converter && code == texts::NotRecognized) {
        Tell(Fill(texts::ConverterNotFound, {host_.ProgramDirectory()}), MessageStyle::Warning);
    } else if (helper == Helper::Lz4Installer && code == texts::NotRecognized) {
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

bool ImageActions::Refuse(const std::wstring &why)
{
    Tell(why, MessageStyle::Warning);
    return false;
}

void ImageActions::Tell(const std::wstring &prompt, MessageStyle style)
{
    host_.ShowMessageBox(prompt, style);
}

} // namespace qarvel
