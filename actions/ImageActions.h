#pragma once
// The actions object: what every control of the main window does. The window creates it with
// itself, gives it its controls and the host, and keeps it for its whole life.

#include "actions/FormControls.h"
#include "actions/HostServices.h"
#include "Texts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qarvel {

class ImageActions {
public:
    ImageActions(FormControls &form, HostServices &host) : form_(form), host_(host) {}

    // Selection capture, shared by the compress and convert buttons.
    void CaptureSelection();
    bool IsImageName() const;

    // The window loads, before it is first shown.
    void OnWindowLoad();
    // The compress button, " iSO"
    void OnCompress();
    // The convert button, "BIN2ISO"
    void OnConvert();
    // A format box, toggled by the user, after its tick changed
    void OnFormatBoxClicked(FormatBox clicked);
    // The author and company labels; the lz4 label
    void OnSiteLabelClicked();
    void OnLz4LabelClicked();

    // A process that an action started and watches has ended, with its exit code, or with
    // none when the code could not be read; run by the message loop between handlings, one
    // at a time.
    void OnTaskEnded(TaskNumber task, std::optional<ExitCode> code);
    // The window is gone: the tools started go on, and nothing more is told of them.
    void OnWindowClosed();

    const std::wstring &SelectedName() const { return selectedName_; }
    const std::vector<std::wstring> &NamePieces() const { return namePieces_; }
    const std::wstring &SelectedPath() const { return selectedPath_; }

private:
    // A compression that has been started and has not ended.
    struct Compression {
        TaskNumber task = NoTask;
        const Format *format = nullptr;
        std::wstring image;     // the full path of the image
        std::wstring imageName; // its bare name, as the file label shows it
        std::uint64_t imageSize = 0;
        std::wstring folder;      // the program folder, where the output goes
        std::wstring commandLine; // exactly as started
        bool onClipboard = false; // the line was put on the clipboard too
        std::uint64_t startedAt = 0;
        // What Qarvel saw before the start that may explain a failure: the first path given
        // to the tool with a letter outside ASCII, a cue sheet's byte-order mark, and whether
        // the .py opener was found to be a Python that is given the arguments.
        std::wstring nonAsciiPath;
        bool cueByteOrderMark = false;
        bool pythonChecked = false;

        std::wstring Tool() const;
        std::wstring OutputPath() const;
    };
    // The other processes whose end is told.
    enum class Helper { Converter, Lz4Installer };

    void Compress(const Format &format);
    // False, after saying why, when the run could only fail; otherwise the image's size and
    // what may explain a failure are noted in the run.
    bool IsFreeToCompress(Compression &run);
    // For a cue sheet: false, after saying why, when a file it names is not there; otherwise
    // the run's image size is theirs.
    bool HasTrackFiles(Compression &run);
    // For a script: false, after saying why, when the program that opens it cannot run it
    // as Qarvel starts it.
    bool CanRunScript(Compression &run);
    // False, after saying why, when the interpreter would change one of the paths in the line.
    bool IsSafeToStart(const std::wstring &commandLine, std::initializer_list<std::wstring> paths);
    void OnCompressionEnded(const Compression &run, std::optional<ExitCode> code);
    std::wstring NotFoundText(const Compression &run);
    void OnFailure(const Compression &run, ExitCode code, bool leftOutput);
    // After "created!": names the output after its image when the user says so.
    void OfferName(const Compression &run);
    void OnHelperEnded(Helper helper, std::optional<ExitCode> code);
    // Starts a converter or package installer line, watched while there is room beside the
    // compressions.
    void LaunchHelper(const std::wstring &commandLine, Helper helper);
    // Starts the line minimised; says so when the interpreter could not be started.
    void Launch(const std::wstring &commandLine);
    bool Ask(const std::wstring &prompt, MessageStyle style = MessageStyle::YesNo);
    void Tell(const std::wstring &prompt, MessageStyle style);
    // Tells why a run is not started, with a warning; false.
    bool Refuse(const std::wstring &why);

    FormControls &form_;
    HostServices &host_;

    // Filled only by CaptureSelection, which every action that uses them runs first.
    std::wstring selectedName_;
    std::vector<std::wstring> namePieces_;
    std::wstring selectedPath_;

    // The watched processes that have not ended yet; a few at a time.
    std::vector<Compression> compressions_;
    std::vector<std::pair<TaskNumber, Helper>> helpers_;
};

} // namespace qarvel
