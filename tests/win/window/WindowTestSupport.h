#pragma once
// What the window tests share: a host that records instead of acting, a folder tree made for
// one test, a window made for one test, and real mouse and key input.

#include "host/HostServices.h"
#include "tests/harness/Lab.h"
#include "win32/Paths.h"
#include "window/ControlIds.h"
#include "window/win/Form1.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qarvel::test {

// Records every host call; starts nothing and answers every question with No.
class RecordingHost final : public HostServices {
public:
    struct Box {
        std::wstring prompt;
        MessageStyle style;
    };
    std::vector<Box> boxes;
    std::vector<std::wstring> launches;
    std::wstring programDirectory;
    std::set<std::wstring> existingFiles;

    TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode) override
    {
        launches.push_back(commandLine);
        return 1;
    }
    Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) override
    {
        boxes.push_back({prompt, style});
        return Answer::AnswerNo;
    }
    bool SetClipboardText(const std::wstring &) override { return true; }
    bool FileExists(const std::wstring &path) override { return existingFiles.contains(path); }
    std::wstring ProgramDirectory() override { return programDirectory; }
    bool IsEnvironmentVariable(const std::wstring &) override { return false; }
};

// A folder under the temporary folder, removed with everything in it at the end.
class FolderTree {
public:
    FolderTree();
    FolderTree(const FolderTree &) = delete;
    FolderTree &operator=(const FolderTree &) = delete;
    ~FolderTree();

    const std::wstring &Root() const { return root_; }
    std::wstring Path(const std::wstring &relative) const { return root_ + L"\\" + relative; }
    // Made inside the root; the folders on the way must exist.
    void Folder(const std::wstring &relative) const;
    void File(const std::wstring &relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

private:
    std::wstring root_;
};

// Runs the window's messages, keyboard navigation included, until the condition holds or the
// time is up; gives the condition's last value.
bool PumpUntil(win::Form1 &form, const std::function<bool()> &condition, DWORD timeoutMs = 3000);
void PumpFor(win::Form1 &form, DWORD milliseconds);

// Real input, as a user gives it.
void PressKey(WORD key);
void ClickAt(POINT screen);
void DoubleClickAt(POINT screen);
// The centre of a control, or of a list item, on the screen.
POINT ScreenCentre(HWND control);
POINT ListItemCentre(HWND list, int index);

// The control's place inside its window's client area.
RECT PlaceInParent(HWND control);

std::vector<std::wstring> ListItems(HWND list);

// A shown window on a recording host whose program folder is the given one.
struct FormUnderTest {
    RecordingHost host;
    std::unique_ptr<win::Form1> form;

    explicit FormUnderTest(const std::wstring &programDirectory,
                           const std::set<std::wstring> &existingFiles = {});
    ~FormUnderTest();
    FormUnderTest(const FormUnderTest &) = delete;
    FormUnderTest &operator=(const FormUnderTest &) = delete;

    HWND Control(ids::Control id) const { return ::GetDlgItem(form->Handle(), id); }
    // Shows the window in front so that mouse and keys reach it.
    void ShowInFront();
};

} // namespace qarvel::test
