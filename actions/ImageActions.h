#pragma once
// The actions object: what every control of the main window does. The window creates it with
// itself, gives it its controls and the host, and keeps it for its whole life.

#include "actions/FormControls.h"
#include "actions/HostServices.h"
#include "Formats.h"
#include "RunReports.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qarvel {

class ImageActions {
public:
    ImageActions(FormControls &form, HostServices &host) : form_(form), host_(host) {}

    // Selection capture, shared by the compress and convert buttons.
    void CaptureSelection();
    bool IsImageName() const;

    // Command1, " iSO"
    void OnCompress();
    // Command2, "BIN2ISO"
    void OnConvert();

    // Form1 load, before the window is first shown
    void OnWindowLoad();
    // Dir1: the open directory changed
    void OnDirectoryChanged();
    // Check1 and Check2, toggled by the user, after the tick value changed
    void OnChdClicked();
    void OnZsoClicked();

    // Label2 and Label3; Label4
    void OnSiteLabelClicked();
    void OnLz4LabelClicked();

    // A process that an action started and watches has ended, with its exit code, or with
    // none when the code could not be read; run by the message loop between handlings, one
    // at a time.
    void OnTaskEnded(TaskNumber task, std::optional<ExitCode> code);

    const std::wstring &SelectedName() const { return selectedName_; }
    const std::vector<std::wstring> &NamePieces() const { return namePieces_; }
    const std::wstring &SelectedPath() const { return selectedPath_; }

private:
    // What a watched process was started for.
    enum class Job { Compress, Convert, InstallLz4 };
    struct Run {
        TaskNumber task = NoTask;
        Job job;
        CompressRun compress;        // for a compression
        std::uint64_t startedAt = 0; // the host's milliseconds
    };

    void Compress(const Format &format);
    // False, after saying why, when the run could not work or one for the same output runs;
    // otherwise the image's size is noted in the run.
    bool IsFreeToCompress(CompressRun &run);
    // Starts a converter or package installer line, watched while there is room beside the
    // compressions.
    void LaunchHelper(const std::wstring &commandLine, Job job);
    void OnCompressEnded(const Run &run, std::optional<ExitCode> code);
    // Asks whether to delete what a failed run left, and does.
    void OfferToRemoveLeftover(const CompressRun &run, ExitCode code);
    // False, after saying why, when the interpreter would change a path in the line.
    bool IsSafeToStart(const std::wstring &commandLine);
    // Starts the line minimised; says so when the interpreter could not be started.
    bool Launch(const std::wstring &commandLine);
    bool Ask(const std::wstring &prompt);
    void Tell(const std::wstring &prompt, MessageStyle style);

    FormControls &form_;
    HostServices &host_;

    // Filled only by CaptureSelection, which every action that uses them runs first.
    std::wstring selectedName_;
    std::vector<std::wstring> namePieces_;
    std::wstring selectedPath_;

    // The watched processes that have not ended yet; a few at a time.
    std::vector<Run> running_;
};

} // namespace qarvel
