#pragma once
// A host that records instead of acting, for the unit tests (built natively too, so no Win32
// here) and for the window tests: every call goes to a shared log in order, launches and
// message boxes are kept, and each answer is set by the test.

#include "actions/HostServices.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace qarvel::drive {

using Log = std::vector<std::wstring>;

struct BoxShown {
    std::wstring prompt;
    MessageStyle style;
};

class FakeHost final : public HostServices {
public:
    FakeHost() = default;
    explicit FakeHost(Log &log) : log_(&log) {}

    std::wstring programDirectory = L"C:\\tools";
    std::set<std::wstring> files;
    // Files that exist beside those in the set.
    std::function<bool(const std::wstring &)> alsoExists;
    std::set<std::wstring> variables{L"PATH", L"TEMP", L"=C:"};
    Answer answer = Answer::AnswerYes;
    // The task number of the next launch; each launch takes the next one.
    TaskNumber task = 4242;
    bool clipboardWorks = true;
    std::wstring clipboard = L"(untouched)";
    std::vector<std::wstring> launched;
    // Files and folders beside those that FileExists reports.
    std::set<std::wstring> folders;
    std::vector<BoxShown> boxes;

    TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) override
    {
        Note(L"launch " + std::to_wstring(static_cast<int>(mode)) + L" " + commandLine);
        launched.push_back(commandLine);
        return task == NoTask ? NoTask : task++;
    }
    TaskNumber LaunchWatchedCommand(const std::wstring &commandLine, ShowMode mode) override
    {
        return LaunchCommand(commandLine, mode);
    }
    Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) override
    {
        Note(L"box " + std::to_wstring(static_cast<int>(style)) + L" " + prompt);
        boxes.push_back({prompt, style});
        return style == MessageStyle::YesNo ? answer : Answer::AnswerOk;
    }
    bool SetClipboardText(const std::wstring &text) override
    {
        Note(L"clipboard " + text);
        if (clipboardWorks) {
            clipboard = text;
        }
        return clipboardWorks;
    }
    bool FileExists(const std::wstring &path) override
    {
        Note(L"exists " + path);
        return IsFile(path);
    }
    bool PathExists(const std::wstring &path) override
    {
        Note(L"path " + path);
        return folders.contains(path) || IsFile(path);
    }
    std::wstring ProgramDirectory() override { return programDirectory; }
    bool IsEnvironmentVariable(const std::wstring &name) override
    {
        return variables.contains(name);
    }

private:
    bool IsFile(const std::wstring &path) const
    {
        return files.contains(path) || (alsoExists && alsoExists(path));
    }
    void Note(std::wstring entry)
    {
        if (log_ != nullptr) {
            log_->push_back(std::move(entry));
        }
    }
    Log *log_ = nullptr;
};

} // namespace qarvel::drive
