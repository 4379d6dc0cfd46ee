#pragma once
// Works a window as a person would: real mouse and keys (SendInput), lists and labels read
// back. RunningQarvel starts the built Qarvel.exe, finds its window and controls by their
// ids, and answers message boxes after reading their text. Every read uses a time-out, so a
// hung window fails a test instead of hanging it. Waits run this thread's own messages, so a
// window made in the test process itself is worked the same way.

#include "host/win/Clipboard.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qarvel::drive {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Dispatches the messages of this thread's windows that are waiting, keyboard navigation
// between controls included.
void RunMessages();

// Waits until the test holds or the time is up, running this thread's messages meanwhile;
// gives the last answer of the test.
template <typename Test> bool WaitFor(Test test, Duration limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        RunMessages();
        if (test()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
}

// Runs this thread's messages for the time given: for what must not happen meanwhile.
inline void RunMessagesFor(Duration time)
{
    WaitFor([] { return false; }, time);
}

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
std::vector<std::wstring> ListItems(HWND list);
int ListSelection(HWND list);
std::vector<std::wstring> ComboItems(HWND combo);
// The text of the combo box's chosen entry; empty when none is chosen.
std::wstring ComboShown(HWND combo);
// The index of the item in the list; -1 when it is not there.
int IndexOf(const std::vector<std::wstring> &items, const std::wstring &item);
std::vector<HWND> TopWindows();

POINT ScreenCentre(HWND window);
// How many pixels of the window's client area inside the rectangle show the colour.
int PixelsOf(HWND window, const RECT &area, COLORREF colour);

// Real input at a window's place on the screen.
void ClickAt(POINT screen, int clicks = 1);
void Click(HWND control);
void ClickListItem(HWND list, int index, int clicks = 1);
void PressKey(WORD virtualKey);

// Starts a program with the command line given, in the working directory given (this process's
// when empty); nothing when it did not start. A Linux program started under Wine may come
// without handles.
std::optional<win32::UniqueProcess> StartProcess(const std::wstring &exe, std::wstring commandLine,
                                                 const std::wstring &directory = {});

// The processes running the executable given, found by their image's full path.
std::vector<DWORD> ProcessesOf(const std::wstring &exe);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring text;
    std::vector<int> buttons; // ids of the visible buttons, of IDOK, IDCANCEL, IDYES, IDNO
};

// The message box a process shows now, if one opens within the limit.
std::optional<MessageBoxSeen> WaitForMessageBox(DWORD processId, Duration limit = 10s);

class RunningQarvel {
public:
    // Starts the program in the working directory given and waits for its window. The
    // program inherits this process's environment and passes it on to what it starts.
    // A program deeper than CreateProcessW takes is started through Wine's loader.
    static std::optional<RunningQarvel> Start(const std::wstring &exe,
                                              const std::wstring &workingDirectory);
    // As Start; throws when the program did not start or showed no window.
    static RunningQarvel MustStart(const std::wstring &exe, const std::wstring &workingDirectory);
    RunningQarvel(RunningQarvel &&) = default;
    RunningQarvel &operator=(RunningQarvel &&) = default;
    ~RunningQarvel();

    HWND Window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    bool IsRunning() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // True when the window answers a message within the limit.
    bool IsResponsive(Duration limit = 5s) const;

    // Opens a folder in the folder list with double clicks, one step at a time from the open one.
    bool OpenFolder(const std::wstring &path);
    std::wstring OpenFolderShown() const;
    // Selects a file in the file list with a click.
    bool SelectFile(const std::wstring &name);

    // The message box the program shows now, if one opens within the limit.
    std::optional<MessageBoxSeen> WaitForMessageBox(Duration limit = 10s) const
    {
        return drive::WaitForMessageBox(processId_, limit);
    }
    // Clicks the button with this id in a message box and waits for the box to close.
    bool Answer(const MessageBoxSeen &box, int buttonId) const;
    // Reads the box that must come next within the limit, checks its text (whole, or its
    // start) and answers it. A box with another text is answered harmlessly (No where it asks)
    // and its text is reported.
    enum class Text { Whole, Start };
    testing::AssertionResult ExpectBox(const std::wstring &text, int buttonId,
                                       Text match = Text::Whole, Duration limit = 10s) const;
    bool NoMessageBox(Duration wait = 600ms) const { return !WaitForMessageBox(wait).has_value(); }
    // How many message boxes the program shows now.
    size_t MessageBoxesOpen() const;

    // Ticks the box with a click unless it is ticked already.
    testing::AssertionResult Tick(int box) const;

    // Closes the window as a person would and waits for the program to end.
    bool Close();

private:
    RunningQarvel() = default;
    // Runs a launcher with the command line given, in the working directory given, and waits
    // for the window of the process whose executable is exe.
    static std::optional<RunningQarvel> StartThrough(const std::wstring &launcher,
                                                     std::wstring commandLine,
                                                     const std::wstring &exe,
                                                     const std::wstring &workingDirectory);
    static std::optional<RunningQarvel> StartDeep(const std::wstring &exe,
                                                  const std::wstring &workingDirectory);
    win32::UniqueHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// The clipboard's text, or nothing when it holds none.
std::optional<std::wstring> ClipboardText();
// Puts text on the clipboard as the program does.
inline bool SetClipboard(const std::wstring &text)
{
    return host::SetClipboardText(nullptr, text);
}

// Starts clipboard-holder.exe, which holds the clipboard for the time given, and waits until
// it holds it. At the end waits for it to let go and end.
class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD holdMs);
    ClipboardHolder(const ClipboardHolder &) = delete;
    ClipboardHolder &operator=(const ClipboardHolder &) = delete;
    ~ClipboardHolder() { Finish(); }

    // True when it holds, or held, the clipboard.
    bool Held() const { return held_; }
    // Waits for it to end; true when it held the clipboard all right.
    bool Finish();

private:
    win32::UniqueHandle ready_;
    win32::UniqueProcess process_;
    bool held_ = false;
};

} // namespace qarvel::drive
