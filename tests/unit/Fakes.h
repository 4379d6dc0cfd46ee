#pragma once
// Fakes of the window's controls and of the host that record, in one log, every call the
// actions make, so tests can check both the values and the order of what happened.

#include "actions/ImageActions.h"
#include "host/HostServices.h"
#include "window/FormControls.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace qarvel::test {

using Log = std::vector<std::wstring>;

class FakeForm final : public FormControls {
public:
    explicit FakeForm(Log &log) : log_(log) {}

    std::wstring selectedFile;
    std::wstring fileListDirectory = L"D:\\rips";
    std::wstring highlightedDirectory = L"D:\\rips";
    std::wstring fileLabel = L"File: Not Set";
    Tick check1 = Tick::Unticked;
    Tick check2 = Tick::Unticked;
    bool check1Enabled = true;
    bool check2Enabled = true;
    std::function<void()> onDirectoryChanged;
    // The selected file was deleted after the list was read.
    bool selectionGone = false;

    std::wstring ReadSelectedFile() override { return selectedFile; }
    std::wstring ReadFileListDirectory() override { return fileListDirectory; }
    void SetFileListDirectory(const std::wstring &directory) override
    {
        log_.push_back(L"list " + directory);
        fileListDirectory = directory;
        selectedFile.clear();
    }
    void RereadFileList() override
    {
        log_.push_back(L"reread");
        selectedFile.clear();
    }
    std::wstring ReadHighlightedDirectory() override { return highlightedDirectory; }
    void SetOpenDirectory(const std::wstring &directory) override
    {
        log_.push_back(L"open " + directory);
        highlightedDirectory = directory;
        if (onDirectoryChanged) {
            onDirectoryChanged();
        }
    }
    void SetFileLabel(const std::wstring &caption) override
    {
        log_.push_back(L"label " + caption);
        fileLabel = caption;
    }
    Tick ReadTick(FormatBox box) override { return box == FormatBox::Check1 ? check1 : check2; }
    void SetTick(FormatBox box, Tick value) override
    {
        (box == FormatBox::Check1 ? check1 : check2) = value;
    }
    void SetEnabled(FormatBox box, bool enabled) override
    {
        log_.push_back(std::wstring(box == FormatBox::Check1 ? L"Check1" : L"Check2") +
                       (enabled ? L" on" : L" off"));
        (box == FormatBox::Check1 ? check1Enabled : check2Enabled) = enabled;
    }

private:
    Log &log_;
};

class FakeHost final : public HostServices {
public:
    explicit FakeHost(Log &log) : log_(log) {}

    std::wstring programDirectory = L"C:\\tools";
    std::set<std::wstring> files;
    // Files that exist beside those in the set (the rig makes the listed selection one).
    std::function<bool(const std::wstring &)> alsoExists;
    std::set<std::wstring> variables{L"PATH", L"TEMP", L"=C:"};
    Answer answer = Answer::AnswerYes;
    TaskNumber task = 4242;
    bool clipboardWorks = true;
    std::wstring clipboard = L"(untouched)";
    std::vector<std::wstring> launched;

    TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) override
    {
        log_.push_back(L"launch " + std::to_wstring(static_cast<int>(mode)) + L" " + commandLine);
        launched.push_back(commandLine);
        return task;
    }
    Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) override
    {
        log_.push_back(L"box " + std::to_wstring(static_cast<int>(style)) + L" " + prompt);
        return style == MessageStyle::YesNo ? answer : Answer::AnswerOk;
    }
    bool SetClipboardText(const std::wstring &text) override
    {
        log_.push_back(L"clipboard " + text);
        if (clipboardWorks) {
            clipboard = text;
        }
        return clipboardWorks;
    }
    bool FileExists(const std::wstring &path) override
    {
        log_.push_back(L"exists " + path);
        return files.contains(path) || (alsoExists && alsoExists(path));
    }
    std::wstring ProgramDirectory() override { return programDirectory; }
    bool IsEnvironmentVariable(const std::wstring &name) override
    {
        return variables.contains(name);
    }

private:
    Log &log_;
};

// One window's worth: the fakes and the actions object wired together as the window does.
struct Rig {
    Log log;
    FakeForm form{log};
    FakeHost host{log};
    ImageActions actions{form, host};

    Rig()
    {
        form.onDirectoryChanged = [this] { actions.OnDirectoryChanged(); };
        host.alsoExists = [this](const std::wstring &path) {
            return !form.selectionGone && !form.selectedFile.empty() &&
                   path == form.fileListDirectory + L"\\" + form.selectedFile;
        };
    }
};

} // namespace qarvel::test
