#pragma once
// Form1, the program's one window: its controls, their layout at the window's DPI, keyboard
// navigation, and the binding of every control event to the actions object it owns. It gives
// the actions its controls through FormControls.

#include "actions/FormControls.h"
#include "actions/ImageActions.h"
#include "DirectoryList.h"
#include "DriveList.h"
#include "FileList.h"
#include "FolderReader.h"
#include "Layout.h"
#include "win32/Handles.h"
#include "window/ControlIds.h"

#include <memory>

namespace qarvel::window {

class Form1 final : public FormControls {
    struct Key {}; // only Create makes a window

public:
    enum class OnClose { EndMessageLoop, StayInLoop };

    // Creates the window and its controls and runs the load handling; the window is not shown
    // yet. Gives nullptr when the window could not be made (GetLastError tells why).
    static std::unique_ptr<Form1> Create(HINSTANCE instance, HostServices &host, OnClose onClose);

    Form1(Key, HostServices &host, OnClose onClose);
    ~Form1() override;

    HWND Handle() const { return window_; }
    UINT Dpi() const { return dpi_; }
    void Show(int showCommand);
    // Keyboard navigation between the controls, and F5; true when the message was taken.
    bool HandleDialogMessage(MSG &message);
    // A process that the actions started and watch has ended; told only while the window is
    // there to tell it in.
    void OnTaskEnded(TaskNumber task, std::optional<ExitCode> code)
    {
        if (window_ != nullptr) {
            actions_.OnTaskEnded(task, code);
        }
    }

    // FormControls
    std::wstring ReadSelectedFile() override;
    std::wstring ReadFileListDirectory() override;
    void SetFileListDirectory(const std::wstring &directory) override;
    void RereadFileList() override;
    std::wstring ReadHighlightedDirectory() override;
    void SetOpenDirectory(const std::wstring &directory) override;
    void SetFileLabel(const std::wstring &caption) override;
    Tick ReadTick(FormatBox box) override;
    void SetTick(FormatBox box, Tick value) override;
    void SetEnabled(FormatBox box, bool enabled) override;
    void FlashUntilActive() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateControls(HINSTANCE instance);

    // Lays the window out anew at this DPI, in the message font made for it.
    void ApplyDpi(UINT dpi, const RECT *suggested);
    // The lists' item height and scroll width, and the window's size (the suggested one when
    // given), for the current DPI and font.
    void FitListsAndWindow(const RECT *suggested);
    // Where a control goes at the current DPI; a label is as wide as the caption given.
    RECT PlaceOf(const LayoutEntry &entry, const std::wstring &caption) const;
    void PlaceControl(const LayoutEntry &entry);
    SIZE WindowSizeFor(UINT dpi) const;
    HFONT CurrentFont() const;

    void OnCommand(int id, int code);
    void OnBoxClicked(FormatBox box);
    void OnEnter();
    void OnDriveChosen();
    // F5: the open folder read again in both lists, as it is now.
    void OnRefresh();
    LRESULT OnStaticColour(HDC dc, HWND control);

    // Opens the directory in Dir1 and runs the directory-change handling; when it cannot be
    // read, says why and leaves the lists as they were.
    void OpenDirectory(const std::wstring &directory);
    // Shows the entries in File1; says why when it cannot.
    void ShowFiles(const std::wstring &directory, const FolderEntries &entries);
    void ReportFolderError(const std::wstring &folder, DWORD error);

    HWND Child(ids::Control id) const { return ::GetDlgItem(window_, id); }
    CheckBox Box(FormatBox box) const;

    HostServices &host_;
    ImageActions actions_;
    OnClose onClose_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    win32::UniqueFont font_;
    DirectoryList dir1_;
    DriveList drive1_;
    FileList file1_;
    HWND lastFocus_ = nullptr;
    // True only while the directory-change handling runs for a directory just opened: File1
    // was filled from the same read as Dir1, so the handling's own reading of it is skipped.
    bool fileListJustFilled_ = false;
};

} // namespace qarvel::window
