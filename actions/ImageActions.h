#pragma once
// The actions object: what every control of the main window does. The window creates it with
// itself, gives it its controls and the host, and keeps it for its whole life.

#include "actions/FormControls.h"
#include "actions/HostServices.h"
#include "RunReports.h"

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

    // A process that an action started and watches has ended; run by the message loop
    // between handlings, one at a time.
    void OnTaskEnded(TaskNumber task, ExitCode code);

    const std::wstring &SelectedName() const { return selectedName_; }
    const std::vector<std::wstring> &NamePieces() const { return namePieces_; }
    const std::wstring &SelectedPath() const { return selectedPath_; }

private:
    struct Format; // what differs between CHD and ZSO
    static const Format Chd;
    static const Format Zso;
    // What a watched process was started for.
    enum class Job { Compress, Convert, InstallLz4 };
    struct Run {
        TaskNumber task = NoTask;
        Job job;
        const Format *format = nullptr; // for a compression, and its names
        CompressRun names;
    };

    static CompressRun NamesOf(const Format &format, const std::wstring &image,
                               const std::wstring &commandLine, bool onClipboard);
    void Compress(const Format &format);
    // False, after saying why, when the run could not work or one for the same output runs.
    bool IsFreeToCompress(const Format &format, const std::wstring &programDirectory);
    // Starts the line as Launch does and keeps watch over it for the job.
    bool LaunchWatched(const std::wstring &commandLine, Run run);
    // Starts a converter or package installer line, watched while there is room to watch it
    // beside the compressions.
    void LaunchHelper(const std::wstring &commandLine, Job job);
    void OnCompressEnded(const Run &run, ExitCode code);
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
