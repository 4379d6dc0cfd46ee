#pragma once
// A fake of the window's controls that records, in the host fake's log, every call the
// actions make, so tests can check both the values and the order of what happened.

#include "actions/FormControls.h"
#include "actions/ImageActions.h"
#include "tests/harness/FakeHost.h"

#include <functional>
#include <string>

namespace qarvel::test {

using drive::FakeHost;
using drive::Log;

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
    void FlashUntilActive() override { log_.push_back(L"flash"); }

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
    // The file selected and the format boxes ticked as given.
    Rig(const std::wstring &selected, Tick check1, Tick check2 = Tick::Unticked) : Rig()
    {
        form.selectedFile = selected;
        form.check1 = check1;
        form.check2 = check2;
    }
};

} // namespace qarvel::test
