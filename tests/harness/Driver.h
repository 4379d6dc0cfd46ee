#pragma once
// Works the built Qarvel.exe from outside, as a person would: it starts the program, finds its
// window and controls by their ids, moves the real mouse and presses real keys (SendInput),
// reads the lists and labels back, and answers message boxes after reading their text. Every
// read uses a time-out, so a hung window fails a test instead of hanging it.

#include "win32/Handles.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qarvel::drive {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Waits until the test holds or the time is up; gives the last answer of the test.
template <typename Test> bool WaitFor(Test test, Duration limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (test()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        ::Sleep(25);
    }
}

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
std::vector<std::wstring> ListItems(HWND list);
int ListSelection(HWND list);

// Real input at a window's place on the screen.
void ClickAt(POINT screen, int clicks = 1);
void Click(HWND control);
void ClickListItem(HWND list, int index, int clicks = 1);
void PressKey(WORD virtualKey, bool shift = false);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring text;
    std::vector<int> buttons; // ids of the visible buttons: IDOK, IDYES, IDNO...
};

class RunningQarvel {
public:
    // Starts the program in the working directory given and waits for its window. The
    // program inherits this process's environment and passes it on to what it starts.
    static std::optional<RunningQarvel> Start(const std::wstring &exe,
                                              const std::wstring &workingDirectory);
    // Runs a launcher with the command line given, in the working directory given, and waits
    // for the window of the process whose executable is exe: for a program that cannot be
    // started directly, such as one in a folder deeper than CreateProcessW takes.
    static std::optional<RunningQarvel> StartThrough(const std::wstring &launcher,
                                                     std::wstring commandLine,
                                                     const std::wstring &exe,
                                                     const std::wstring &workingDirectory);
    RunningQarvel(RunningQarvel &&) = default;
    RunningQarvel &operator=(RunningQarvel &&) = default;
    ~RunningQarvel();

    HWND Window() const { return window_; }
    HWND Control(int id) const;
    bool IsRunning() const;
    // True when the window answers a message within the limit.
    bool IsResponsive(Duration limit = 5s) const;

    // Opens a folder in Dir1 with double clicks, one step at a time from the open one.
    bool OpenFolder(const std::wstring &path);
    std::wstring OpenFolderShown() const;
    // Selects a file in File1 with a click.
    bool SelectFile(const std::wstring &name);

    // The message box the program shows now, if one opens within the limit.
    std::optional<MessageBoxSeen> WaitForMessageBox(Duration limit = 10s) const;
    // Clicks the button with this id in a message box and waits for the box to close.
    bool Answer(const MessageBoxSeen &box, int buttonId) const;
    // Reads the box that must come next, checks its text and answers it; false otherwise.
    bool ExpectBox(const std::wstring &text, int buttonId) const;
    bool NoMessageBox(Duration wait = 600ms) const;

    // Closes the window as a person would and waits for the program to end.
    bool Close();

private:
    RunningQarvel() = default;
    win::UniqueHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// The clipboard's text, or nothing when it holds none.
std::optional<std::wstring> ClipboardText();
bool SetClipboard(const std::wstring &text);

} // namespace qarvel::drive
