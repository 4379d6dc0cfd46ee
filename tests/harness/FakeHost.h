#pragma once
// A host that records instead of acting, for the unit tests (built natively too, so no Win32
// here) and for the window tests: what the program does (launches, message boxes, the
// clipboard, deletions) goes to a shared log in order, and each answer is set by the test.

#include "actions/HostServices.h"
#include "actions/Texts.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qarvel::drive {

using Log = std::vector<std::wstring>;

// The names the log gives the styles and show modes.
inline const wchar_t *NameOf(MessageStyle style)
{
    constexpr const wchar_t *Names[] = {L"OkOnly",  L"YesNo",        L"Critical",
                                        L"Warning", L"WarningYesNo", L"YesNoNoFirst"};
    return Names[static_cast<int>(style)];
}

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
    // The sizes of files; a file not named here has 1,000 bytes.
    std::map<std::wstring, std::uint64_t> sizes;
    // Files that another program has open.
    std::set<std::wstring> inUse;
    // Folders in which no file can be made.
    std::set<std::wstring> readOnlyFolders;
    // How .py files are opened.
    Opener opener{
        .found = true, .packaged = false, .command = L"\"C:\\Windows\\py.exe\" \"%L\" %*"};
    // The text files that can be read; a file not named here cannot.
    std::map<std::wstring, TextFile> texts;
    // What FilesIn finds, by folder + "\\" + pattern.
    std::map<std::wstring, std::vector<std::wstring>> listings;
    std::optional<DiskRoom> room = DiskRoom{L"C:\\", 1ULL << 40};
    std::wstring workingDirectory = L"C:\\tools";
    std::set<std::wstring> variables{L"PATH", L"TEMP", L"=C:"};
    Answer answer = Answer::AnswerYes;
    // Runs while a question is open, before it is answered.
    std::function<void()> onQuestion;
    // The task number of the next launch; each launch takes the next one.
    TaskNumber task = 4242;
    // The watch is full: a launch with Watch::IfRoom runs unwatched.
    bool watchFull = false;
    std::uint64_t milliseconds = 0;
    bool clipboardWorks = true;
    std::wstring clipboard = L"(untouched)";
    std::vector<std::wstring> launched;
    // Files and folders beside those that FileExists reports.
    std::set<std::wstring> folders;
    std::vector<BoxShown> boxes;

    TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) override
    {
        Note((mode == ShowMode::ShowMinimisedWithFocus ? L"launch minimised " : L"launch ? ") +
             commandLine);
        launched.push_back(commandLine);
        return task == NoTask ? NoTask : task++;
    }
    Launched LaunchWatchedCommand(const std::wstring &commandLine, ShowMode mode,
                                  Watch watch) override
    {
        const TaskNumber started = LaunchCommand(commandLine, mode);
        return {started, started != NoTask && !(watchFull && watch == Watch::IfRoom)};
    }
    Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) override
    {
        Note(L"box " + std::wstring(NameOf(style)) + L" " + prompt);
        boxes.push_back({prompt, style});
        if (style != MessageStyle::YesNo && style != MessageStyle::WarningYesNo &&
            style != MessageStyle::YesNoNoFirst) {
            return Answer::AnswerOk;
        }
        if (onQuestion) {
            onQuestion();
        }
        return answer;
    }
    bool SetClipboardText(const std::wstring &text) override
    {
        Note(L"clipboard " + text);
        if (clipboardWorks) {
            clipboard = text;
        }
        return clipboardWorks;
    }
    bool FileExists(const std::wstring &path) override { return IsFile(path); }
    bool PathExists(const std::wstring &path) override
    {
        return folders.contains(path) || IsFile(path);
    }
    std::optional<std::uint64_t> FileSize(const std::wstring &path) override
    {
        if (!IsFile(path)) {
            return std::nullopt;
        }
        const auto size = sizes.find(path);
        return size == sizes.end() ? 1000 : size->second;
    }
    bool IsFileInUse(const std::wstring &path) override { return inUse.contains(path); }
    bool RemoveFile(const std::wstring &path) override
    {
        Note(L"remove " + path);
        return !inUse.contains(path) && files.erase(path) == 1;
    }
    bool CanWriteInFolder(const std::wstring &folder) override
    {
        return !readOnlyFolders.contains(folder);
    }
    Opener OpenerOf(const std::wstring &extension) override
    {
        return extension == L".py" ? opener : Opener{};
    }
    TextFile ReadTextFile(const std::wstring &path, std::uint64_t limit) override
    {
        const auto text = texts.find(path);
        if (text == texts.end() || !IsFile(path)) {
            return {};
        }
        TextFile tooLarge;
        tooLarge.status = TextFile::Status::TooLarge;
        return FileSize(path) > limit ? tooLarge : text->second;
    }
    std::vector<std::wstring> FilesIn(const std::wstring &folder,
                                      const std::wstring &pattern) override
    {
        return listings[folder + L"\\" + pattern];
    }
    Renamed RenameFile(const std::wstring &path, const std::wstring &newName) override
    {
        Note(L"rename " + path + L" to " + newName);
        const std::wstring renamed = JoinWithBackslash(FolderOf(path), newName);
        if (PathExists(renamed)) {
            return Renamed::NameTaken;
        }
        if (inUse.contains(path) || files.erase(path) == 0) {
            return Renamed::Failed;
        }
        files.insert(renamed);
        return Renamed::Done;
    }
    std::optional<DiskRoom> RoomOnDisk(const std::wstring &) override { return room; }
    std::wstring ProgramDirectory() override { return programDirectory; }
    std::wstring WorkingDirectory() override { return workingDirectory; }
    bool IsEnvironmentVariable(const std::wstring &name) override
    {
        return variables.contains(name);
    }
    std::uint64_t Milliseconds() override { return milliseconds; }

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
