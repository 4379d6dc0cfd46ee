#include "Driver.h"

#include "window/win/MainWindow.h"

#include "Lab.h"

#include "linux-bridge/WinePaths.h"
#include "tests/standins/RecordFormat.h"
#include "win32/ErrorText.h"
#include "window/ControlIds.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include <tlhelp32.h>

namespace qarvel::drive {
namespace {

constexpr UINT MessageTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, MessageTimeoutMs,
                               &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

bool SameText(const std::wstring &a, const std::wstring &b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// True when folder is path itself or one of its ancestors.
bool IsFolderOf(const std::wstring &folder, const std::wstring &path)
{
    if (folder.empty() || folder.size() > path.size() ||
        !SameText(folder, path.substr(0, folder.size()))) {
        return false;
    }
    return folder.size() == path.size() || folder.back() == L'\\' || path[folder.size()] == L'\\';
}

// The folder list shows each folder's name and keeps its depth as the entry's data: an entry's full
// path is the path of the last entry above it one level up, joined with its name.
std::vector<std::wstring> FolderPaths(HWND dir)
{
    const auto names = ListItems(dir);
    std::vector<std::wstring> paths;
    std::vector<std::wstring> above; // the path at each depth, down to the entry's parent
    for (size_t i = 0; i < names.size(); ++i) {
        const auto depth = static_cast<size_t>(Send(dir, LB_GETITEMDATA, i));
        above.resize(std::min(depth, above.size()));
        std::wstring path =
            above.empty() ? names[i]
                          : above.back() + (above.back().ends_with(L'\\') ? L"" : L"\\") + names[i];
        above.push_back(path);
        paths.push_back(std::move(path));
    }
    return paths;
}

DWORD ProcessOf(HWND window)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner;
}

std::vector<HWND> TopWindowsOf(DWORD processId, const wchar_t *className)
{
    std::vector<HWND> found;
    for (const HWND window : TopWindows()) {
        if (ProcessOf(window) == processId && ::IsWindowVisible(window) &&
            ClassName(window) == className) {
            found.push_back(window);
        }
    }
    return found;
}

HWND FindTopWindow(DWORD processId, const wchar_t *className)
{
    const std::vector<HWND> found = TopWindowsOf(processId, className);
    return found.empty() ? nullptr : found.front();
}

// What a program that showed no main window shows instead, for the failure's message: whether
// it still runs, and each of its top-level windows (a message box at start-up, say).
void DescribeNoWindow(HANDLE process, DWORD processId)
{
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    std::string text =
        code == STILL_ACTIVE ? "still running" : "ended with " + std::to_string(code);
    for (const HWND window : TopWindows()) {
        if (ProcessOf(window) == processId) {
            text += "; window " + record::ToUtf8(ClassName(window)) +
                    (::IsWindowVisible(window) ? " shown" : " hidden") + " \"" +
                    record::ToUtf8(WindowText(window)) + "\"";
        }
    }
    std::fprintf(stderr, "Qarvel.exe showed no main window: %s\n", text.c_str());
}

// The entries of a list box or a combo box, read with the messages given.
std::vector<std::wstring> Items(HWND list, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    std::vector<std::wstring> items;
    const LRESULT count = Send(list, countMessage);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(list, lengthMessage, static_cast<WPARAM>(i));
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        const LRESULT got =
            Send(list, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        items.push_back(std::move(text));
    }
    return items;
}

std::wstring At(const std::vector<std::wstring> &items, LRESULT index)
{
    return index >= 0 && static_cast<size_t>(index) < items.size()
               ? items[static_cast<size_t>(index)]
               : std::wstring{};
}

void SendInputs(std::vector<INPUT> inputs)
{
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        ADD_FAILURE() << "SendInput took " << sent << " of " << inputs.size() << " inputs, error "
                      << ::GetLastError();
    }
}

} // namespace

void RunMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // As the program's own loop does: the main window's keys, F5 among them.
        if (!window::MainWindow::TranslateKeys(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

POINT ScreenCentre(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int PixelsOf(HWND window, const RECT &area, COLORREF colour)
{
    const win32::DcGuard dc(window);
    int count = 0;
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
            count += ::GetPixel(dc.get(), x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

std::wstring WindowText(HWND window)
{
    const LRESULT length = Send(window, WM_GETTEXTLENGTH);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::wstring ClassName(HWND window)
{
    std::array<wchar_t, 256> name{};
    const int length = ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<std::wstring> ListItems(HWND list)
{
    return Items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListSelection(HWND list)
{
    return static_cast<int>(Send(list, LB_GETCURSEL));
}

std::vector<std::wstring> ComboItems(HWND combo)
{
    return Items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::wstring ComboShown(HWND combo)
{
    return At(ComboItems(combo), Send(combo, CB_GETCURSEL));
}

int IndexOf(const std::vector<std::wstring> &items, const std::wstring &item)
{
    const auto found = std::ranges::find(items, item);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

std::vector<HWND> TopWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM all) -> BOOL {
            reinterpret_cast<std::vector<HWND> *>(all)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void ClickAt(POINT screen, int clicks)
{
    if (!::SetCursorPos(screen.x, screen.y)) {
        ADD_FAILURE() << "SetCursorPos, error " << ::GetLastError();
    }
    ::Sleep(30);
    std::vector<INPUT> inputs(2 * static_cast<size_t>(clicks));
    for (size_t i = 0; i < inputs.size(); ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    SendInputs(std::move(inputs));
    ::Sleep(60);
}

void Click(HWND control)
{
    ClickAt(ScreenCentre(control));
}

void ClickListItem(HWND list, int index, int clicks)
{
    // Scroll the entry into view as a person would, then click its middle.
    const LRESULT top = Send(list, LB_GETTOPINDEX);
    RECT client{};
    ::GetClientRect(list, &client);
    const LRESULT height = std::max<LRESULT>(1, Send(list, LB_GETITEMHEIGHT));
    const LRESULT visible = std::max<LRESULT>(1, (client.bottom - client.top) / height);
    if (index < top || index >= top + visible) {
        Send(list, LB_SETTOPINDEX, static_cast<WPARAM>(index));
    }
    RECT item{};
    if (Send(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ==
        LB_ERR) {
        ADD_FAILURE() << "the list has no entry " << index;
        return;
    }
    POINT point{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ::ClientToScreen(list, &point);
    ClickAt(point, clicks);
}

void PressKey(WORD virtualKey)
{
    std::vector<INPUT> inputs(2);
    for (INPUT &input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInputs(std::move(inputs));
    ::Sleep(60);
}

std::optional<win32::UniqueProcess> StartProcess(const std::wstring &exe, std::wstring commandLine,
                                                 const std::wstring &directory)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        const DWORD error = ::GetLastError();
        std::fprintf(stderr, "%s did not start: error %lu, %s\n", record::ToUtf8(exe).c_str(),
                     error, record::ToUtf8(win32::DescribeError(error)).c_str());
        return std::nullopt;
    }
    return win32::UniqueProcess(info);
}

std::vector<DWORD> ProcessesOf(const std::wstring &exe)
{
    std::vector<DWORD> found;
    // Like CreateFileW, a snapshot that failed is INVALID_HANDLE_VALUE.
    const win32::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        const win32::UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        std::wstring image(32768, L'\0');
        DWORD size = static_cast<DWORD>(image.size());
        if (process && ::QueryFullProcessImageNameW(process.get(), 0, image.data(), &size) &&
            SameText(image.substr(0, size), exe)) {
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}

std::optional<RunningQarvel> RunningQarvel::Start(const std::wstring &exe,
                                                  const std::wstring &workingDirectory)
{
    if (exe.size() >= MAX_PATH) {
        return StartDeep(exe, workingDirectory);
    }
    auto started = StartProcess(exe, L"\"" + exe + L"\"", workingDirectory);
    if (!started) {
        return std::nullopt;
    }
    RunningQarvel program;
    program.processId_ = ::GetProcessId(started->process.get());
    program.process_ = std::move(started->process);
    WaitFor([&] {
        program.window_ = FindTopWindow(program.processId_, window::ids::MainWindowClass);
        return program.window_ != nullptr;
    });
    if (program.window_ == nullptr) {
        DescribeNoWindow(program.process_.get(), program.processId_);
        return std::nullopt;
    }
    ::WaitForInputIdle(program.process_.get(), 5000);
    return program;
}

std::optional<RunningQarvel> RunningQarvel::StartThrough(const std::wstring &launcher,
                                                         std::wstring commandLine,
                                                         const std::wstring &exe,
                                                         const std::wstring &workingDirectory)
{
    if (!StartProcess(launcher, std::move(commandLine), workingDirectory)) {
        return std::nullopt;
    }
    RunningQarvel program;
    WaitFor([&] {
        for (const DWORD owner : ProcessesOf(exe)) {
            if (const HWND window = FindTopWindow(owner, window::ids::MainWindowClass)) {
                program.window_ = window;
                program.processId_ = owner;
                program.process_.reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION |
                                                         SYNCHRONIZE | PROCESS_TERMINATE,
                                                     FALSE, owner));
                return true;
            }
        }
        return false;
    });
    if (program.window_ == nullptr) {
        // Say how far it got, and end what started: nothing else will.
        const auto started = ProcessesOf(exe);
        if (started.empty()) {
            std::fprintf(stderr, "Qarvel.exe is not running\n");
        }
        for (const DWORD id : started) {
            const win32::UniqueHandle process(
                ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
            DescribeNoWindow(process.get(), id);
            ::TerminateProcess(process.get(), 1);
        }
        return std::nullopt;
    }
    ::WaitForInputIdle(program.process_.get(), 5000);
    return program;
}

RunningQarvel RunningQarvel::MustStart(const std::wstring &exe,
                                       const std::wstring &workingDirectory)
{
    auto running = Start(exe, workingDirectory);
    if (!running) {
        throw std::runtime_error("Qarvel.exe did not start or showed no window");
    }
    return std::move(*running);
}

// CreateProcessW takes no program deeper than MAX_PATH, here as on Windows; Wine, given the
// Unix path, starts it all the same. It is started as every Windows program of the tests is,
// through cmake/wine-run, in this Wine's prefix and display (inherited).
std::optional<RunningQarvel> RunningQarvel::StartDeep(const std::wstring &exe,
                                                      const std::wstring &workingDirectory)
{
    const auto mapping = bridge::WinePaths::Find();
    if (!mapping) {
        ADD_FAILURE() << "a program this deep can only be started under Wine";
        return std::nullopt;
    }
    const auto unixExe = mapping->ToUnix(exe);
    if (!unixExe) {
        return std::nullopt;
    }
    const std::wstring launcher = FromBuildPath(QARVEL_WINE_RUN_PATH);
    return StartThrough(launcher, L"\"" + launcher + L"\" \"" + record::FromUtf8(*unixExe) + L"\"",
                        exe, workingDirectory);
}

RunningQarvel::~RunningQarvel()
{
    if (process_ && IsRunning()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool RunningQarvel::IsResponsive(Duration limit) const
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                 static_cast<UINT>(limit.count()), &result) != 0;
}

std::wstring RunningQarvel::OpenFolderShown() const
{
    const HWND dir = Control(window::ids::FolderList);
    return At(FolderPaths(dir), ListSelection(dir));
}

bool RunningQarvel::OpenFolder(const std::wstring &path)
{
    const HWND dir = Control(window::ids::FolderList);
    for (int step = 0; step < 64; ++step) {
        const std::wstring open = OpenFolderShown();
        if (SameText(open, path)) {
            return true;
        }
        // The entry nearest the target: its deepest ancestor on the list, never the open one.
        const auto items = FolderPaths(dir);
        int best = -1;
        for (size_t i = 0; i < items.size(); ++i) {
            if (!SameText(items[i], open) && IsFolderOf(items[i], path) &&
                (best < 0 || items[i].size() > items[static_cast<size_t>(best)].size())) {
                best = static_cast<int>(i);
            }
        }
        if (best < 0) {
            return false;
        }
        const std::wstring next = items[static_cast<size_t>(best)];
        ClickListItem(dir, best, 2);
        if (!WaitFor([&] { return SameText(OpenFolderShown(), next); }, 5s)) {
            return false;
        }
    }
    return false;
}

bool RunningQarvel::SelectFile(const std::wstring &name)
{
    const HWND file = Control(window::ids::FileList);
    const int index = IndexOf(ListItems(file), name);
    if (index < 0) {
        return false;
    }
    ClickListItem(file, index);
    return WaitFor([&] { return ListSelection(file) == index; }, 3s);
}

size_t RunningQarvel::MessageBoxesOpen() const
{
    return TopWindowsOf(processId_, L"#32770").size();
}

std::optional<MessageBoxSeen> WaitForMessageBox(DWORD processId, Duration limit)
{
    HWND box = nullptr;
    std::wstring text;
    // Shown only once its texts are in place; and until its own loop takes messages, a thread
    // that took none for 5 s counts as hung and answers no reading (every box has a text).
    const auto shown = [&] {
        box = FindTopWindow(processId, L"#32770");
        return box != nullptr && ::IsWindowVisible(box) &&
               !(text = WindowText(::GetDlgItem(box, 0xFFFF))).empty();
    };
    if (!WaitFor(shown, limit)) {
        return std::nullopt;
    }
    MessageBoxSeen seen{box, text, {}};
    for (const int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        const HWND button = ::GetDlgItem(box, id);
        if (button != nullptr && ::IsWindowVisible(button)) {
            seen.buttons.push_back(id);
        }
    }
    return seen;
}

bool RunningQarvel::Answer(const MessageBoxSeen &box, int buttonId) const
{
    const HWND button = ::GetDlgItem(box.window, buttonId);
    if (button == nullptr) {
        return false;
    }
    Click(button);
    return WaitFor([&] { return !::IsWindow(box.window); }, 5s);
}

testing::AssertionResult RunningQarvel::ExpectBox(const std::wstring &text, int buttonId,
                                                  Text match, Duration limit) const
{
    const auto box = WaitForMessageBox(limit);
    if (!box) {
        return testing::AssertionFailure() << "no message box came for: " << text;
    }
    if (match == Text::Whole ? box->text != text : !box->text.starts_with(text)) {
        const bool asks = std::ranges::find(box->buttons, IDNO) != box->buttons.end();
        Answer(*box, asks ? IDNO : IDOK);
        return testing::AssertionFailure()
               << "the box says: " << box->text << "\nexpected: " << text;
    }
    if (!Answer(*box, buttonId)) {
        return testing::AssertionFailure() << "the box did not close: " << text;
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult RunningQarvel::Tick(int box) const
{
    const auto ticked = [&] { return Send(Control(box), BM_GETCHECK) == BST_CHECKED; };
    if (!ticked()) {
        Click(Control(box));
    }
    return WaitFor(ticked, 3s) ? testing::AssertionSuccess()
                               : testing::AssertionFailure() << "box " << box << " not ticked";
}

bool RunningQarvel::Close()
{
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    return ::WaitForSingleObject(process_.get(), 10000) == WAIT_OBJECT_0;
}

} // namespace qarvel::drive
