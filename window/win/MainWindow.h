#pragma once
// The program's one window: its controls, their layout at the window's DPI, its keys and
// messages, and the binding of every control event to the actions object it owns; its three
// lists are read and filled by the FolderBrowser it keeps. It gives the actions its controls
// through FormControls.

#include "actions/FormControls.h"
#include "actions/ImageActions.h"
#include "FolderBrowser.h"
#include "Layout.h"
#include "win32/Handles.h"
#include "window/ControlIds.h"

#include <memory>

namespace qarvel::window {

class MainWindow final : public FormControls {
    struct Key {}; // only Create makes a window

public:
    enum class OnClose { EndMessageLoop, StayInLoop };

    // Creates the window and its controls and runs the load handling; the window is not shown
    // yet. Gives nullptr when the window could not be made (GetLastError tells why).
    static std::unique_ptr<MainWindow> Create(HINSTANCE instance, HostServices &host,
                                              OnClose onClose);

    MainWindow(Key, HostServices &host, OnClose onClose);
    ~MainWindow() override;

    HWND Handle() const { return window_; }
    UINT Dpi() const { return dpi_; }
    // What its controls do; the message loop hands it the ends of the tools it started.
    ImageActions &Actions() { return actions_; }
    void Show(int showCommand);

    // For a message of this thread, before it is dispatched: a key of a main window (F5 and
    // moving between its controls) or of a dialog. True when the message was taken.
    static bool TranslateKeys(MSG &message);

    // FormControls
    std::wstring ReadSelectedFile() override { return browser_.Files().SelectedName(); }
    std::wstring ReadFileListDirectory() override { return browser_.Files().Directory(); }
    void SetOpenDirectory(const std::wstring &directory) override;
    void SetFileLabel(const std::wstring &caption) override;
    Tick ReadTick(FormatBox box) override;
    void SetTick(FormatBox box, Tick value) override;
    void SetEnabled(FormatBox box, bool enabled) override;
    void FlashUntilActive() override;

    // The folder list's highlighted entry: a full path, no trailing separator except at a
    // drive root.
    std::wstring ReadHighlightedDirectory() const { return browser_.Folders().Highlighted(); }
    // The open folder read again into both lists, as F5 does; the selection is cleared.
    void Refresh() { browser_.Refresh(); }

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
    LRESULT OnStaticColour(HDC dc, HWND control);

    HWND Child(ids::Control id) const { return ::GetDlgItem(window_, id); }
    CheckBox Box(FormatBox box) const;

    ImageActions actions_;
    OnClose onClose_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    win32::UniqueFont font_;
    win32::UniqueAccelerators keys_; // F5
    FolderBrowser browser_;
    HWND lastFocus_ = nullptr;
};

} // namespace qarvel::window
