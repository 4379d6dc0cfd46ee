#pragma once
// The actions object: what every control of the main window does. The window creates it with
// itself, gives it its controls and the host, and keeps it for its whole life.

#include "host/HostServices.h"
#include "window/FormControls.h"

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

    const std::wstring &SelectedName() const { return selectedName_; }
    const std::vector<std::wstring> &NamePieces() const { return namePieces_; }
    const std::wstring &SelectedPath() const { return selectedPath_; }

private:
    struct Format; // what differs between CHD and ZSO
    static const Format Chd;
    static const Format Zso;
    void Compress(const Format &format);
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
};

} // namespace qarvel
