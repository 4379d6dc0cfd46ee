#pragma once
// A fake of the window's controls that records, in the host fake's log, what the actions do
// to them, so tests can check both the values and the order of what happened.

#include "actions/FormControls.h"
#include "actions/ImageActions.h"
#include "actions/Texts.h"
#include "tests/harness/FakeHost.h"

#include <string>

namespace qarvel::test {

using drive::FakeHost;
using drive::Log;

class FakeForm final : public FormControls {
public:
    explicit FakeForm(Log &log) : log_(log) {}

    std::wstring selectedFile;
    std::wstring fileListDirectory = L"D:\\rips";
    std::wstring fileLabel = L"File: Not Set";
    Tick chd = Tick::Unticked;
    Tick zso = Tick::Unticked;
    bool chdEnabled = true;
    bool zsoEnabled = true;
    // The selected file was deleted after the list was read.
    bool selectionGone = false;

    std::wstring ReadSelectedFile() override { return selectedFile; }
    std::wstring ReadFileListDirectory() override { return fileListDirectory; }
    // As the window does: the file list lists the folder opened, with nothing selected.
    void SetOpenDirectory(const std::wstring &directory) override
    {
        log_.push_back(L"open " + directory);
        fileListDirectory = directory;
        selectedFile.clear();
    }
    void SetFileLabel(const std::wstring &caption) override
    {
        log_.push_back(L"label " + caption);
        fileLabel = caption;
    }
    Tick ReadTick(FormatBox box) override { return box == FormatBox::Chd ? chd : zso; }
    void SetTick(FormatBox box, Tick value) override
    {
        (box == FormatBox::Chd ? chd : zso) = value;
    }
    void SetEnabled(FormatBox box, bool enabled) override
    {
        (box == FormatBox::Chd ? chdEnabled : zsoEnabled) = enabled;
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
        host.alsoExists = [this](const std::wstring &path) {
            return !form.selectionGone && !form.selectedFile.empty() &&
                   path == JoinWithBackslash(form.fileListDirectory, form.selectedFile);
        };
    }
    // The file selected and the format boxes ticked as given.
    Rig(const std::wstring &selected, Tick chd, Tick zso = Tick::Unticked) : Rig()
    {
        form.selectedFile = selected;
        form.chd = chd;
        form.zso = zso;
    }
};

} // namespace qarvel::test
