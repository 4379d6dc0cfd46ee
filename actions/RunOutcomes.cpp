// Watching what the actions started, and telling how it ended.

#include "ImageActions.h"
#include "RunReports.h"
#include "Texts.h"

#include <algorithm>

namespace qarvel {

void ImageActions::LaunchHelper(const std::wstring &commandLine, Job job)
{
    // Each click starts one more; past what can be watched, they start unwatched.
    const Launched launched =
        host_.LaunchWatchedCommand(commandLine, ShowMode::ShowMinimisedWithFocus, Watch::IfRoom);
    if (launched.task == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
    } else if (launched.watched) {
        running_.push_back({launched.task, job, {}, 0});
    }
}

void ImageActions::OnTaskEnded(TaskNumber task, std::optional<ExitCode> code)
{
    const auto found =
        std::ranges::find_if(running_, [task](const Run &run) { return run.task == task; });
    if (found == running_.end()) {
        return;
    }
    const Run run = std::move(*found);
    running_.erase(found);
    switch (run.job) {
    case Job::Compress:
        OnCompressEnded(run, code);
        break;
    case Job::Convert:
        // The converter's own failures show in its window; only a missing one is told.
        if (code == NotRecognized) {
            Tell(ConverterNotFoundReport(host_.ProgramDirectory()), MessageStyle::Warning);
        }
        break;
    case Job::InstallLz4:
        if (code == NotRecognized) {
            Tell(texts::report::PipNotFound, MessageStyle::Warning);
        } else if (code && *code != 0) {
            Tell(PipFailedReport(*code), MessageStyle::Warning);
        }
        break;
    }
}

void ImageActions::OnCompressEnded(const Run &run, std::optional<ExitCode> code)
{
    // The user may be elsewhere by now: the taskbar button says the run is over.
    form_.FlashUntilActive();
    const CompressRun &compress = run.compress;
    if (!code) {
        Tell(UnknownEndReport(compress), MessageStyle::Warning);
    } else if (*code == 0) {
        const auto outputSize = host_.FileSize(compress.OutputPath());
        if (outputSize) {
            Tell(CreatedReport(compress, *outputSize, host_.Milliseconds() - run.startedAt),
                 MessageStyle::OkOnly);
        } else {
            Tell(NoOutputReport(compress), MessageStyle::Warning);
        }
    } else if (*code == NotRecognized) {
        Tell(ToolNotFoundReport(compress), MessageStyle::Warning);
    } else if (code == compress.format->missingPackageCode) {
        Tell(MissingPackageReport(compress), MessageStyle::Warning);
    } else if (compress.format->leavesPartOnFailure && host_.FileSize(compress.OutputPath())) {
        OfferToRemoveLeftover(compress, *code);
    } else {
        Tell(ToolFailedReport(compress, *code), MessageStyle::Warning);
    }
}

void ImageActions::OfferToRemoveLeftover(const CompressRun &run, ExitCode code)
{
    // The output was not there when the tool started, so what is there now is the run's own.
    if (host_.ShowMessageBox(LeftoverReport(run, code), MessageStyle::WarningYesNo) ==
            Answer::AnswerYes &&
        !host_.RemoveFile(run.OutputPath())) {
        Tell(NotRemovedReport(run), MessageStyle::Warning);
    }
}

} // namespace qarvel
