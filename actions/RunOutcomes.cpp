// Watching what the actions started, and telling how it ended.

#include "ImageActions.h"
#include "RunReports.h"
#include "Texts.h"

#include <algorithm>

namespace qarvel {

namespace {

// The watches kept free for the two compressions, whatever the converter and the package
// installer have taken.
constexpr unsigned CompressWatches = 2;

} // namespace

bool ImageActions::LaunchWatched(const std::wstring &commandLine, Run run)
{
    const TaskNumber task =
        host_.LaunchWatchedCommand(commandLine, ShowMode::ShowMinimisedWithFocus);
    if (task == NoTask) {
        Tell(texts::LaunchFailed, MessageStyle::Critical);
        return false;
    }
    run.task = task;
    running_.push_back(std::move(run));
    return true;
}

void ImageActions::LaunchHelper(const std::wstring &commandLine, Job job)
{
    // Each click starts one more; past what can be watched, they start unwatched.
    const auto helpers =
        std::ranges::count_if(running_, [](const Run &run) { return run.job != Job::Compress; });
    if (helpers < MostWatchedTasks - CompressWatches) {
        LaunchWatched(commandLine, {NoTask, job, nullptr, {}});
    } else {
        Launch(commandLine);
    }
}

void ImageActions::OnTaskEnded(TaskNumber task, ExitCode code)
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
        } else if (code != 0) {
            Tell(PipFailedReport(code), MessageStyle::Warning);
        }
        break;
    }
}

void ImageActions::OnCompressEnded(const Run &run, ExitCode code)
{
    // The user may be elsewhere by now: the taskbar button says the run is over.
    form_.FlashUntilActive();
    if (code == 0) {
        return; // "created!" was true
    }
    Tell(code == NotRecognized ? ToolNotFoundReport(run.names) : ToolFailedReport(run.names, code),
         MessageStyle::Warning);
}

} // namespace qarvel
