#include "Driver.h"

#include "window/ControlIds.h"

#include <algorithm>
#include <array>

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

// Dir1 shows each folder's name and keeps its depth as the entry's data: an entry's full path
// is the path of the last entry above it one level up, joined with its name.
std::vector<std::wstring> FolderPaths(HWND dir)
{
    const auto names = ListItems(dir);
    std::vector<std::wstring> paths;
    std::vector<std::wstring> above; // the path at each depth, down to the entry's parent
    for (size_t i = 0; i < names.size(); ++i) {
        const auto depth = static_cast<size_t>(Send(dir, LB_GETITEMDATA, i));
        above.resize(std::min(depth, above.size()));
        std::wstring path = names[i];
        if (!above.empty()) {
            path = above.back() + (above.back().ends_with(L'\\') ? L"" : L"\\") + names[i];
        }
        above.push_back(path);
        paths.push_back(std::move(path));
    }
    return paths;
}

struct FindArgs {
    DWORD processId;
    const wchar_t *className;
    HWND found;
};

HWND FindTopWindow(DWORD processId, const wchar_t *className)
{
    FindArgs args{processId, className, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto &a = *reinterpret_cast<FindArgs *>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == a.processId && ::IsWindowVisible(window) &&
                ClassName(window) == a.className) {
                a.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

POINT Centre(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

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
    std::vector<std::wstring> items;
    const LRESULT count = Send(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        const LRESULT got =
            Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        items.push_back(std::move(text));
    }
    return items;
}

int ListSelection(HWND list)
{
    return static_cast<int>(Send(list, LB_GETCURSEL));
}

void ClickAt(POINT screen, int clicks)
{
    ::SetCursorPos(screen.x, screen.y);
    ::Sleep(30);
    std::vector<INPUT> inputs;
    for (int i = 0; i < clicks; ++i) {
        for (const DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flag;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::Sleep(60);
}

void Click(HWND control)
{
    ClickAt(Centre(control));
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
        return;
    }
    POINT point{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ::ClientToScreen(list, &point);
    ClickAt(point, clicks);
}

void PressKey(WORD virtualKey, bool shift)
{
    std::vector<INPUT> inputs;
    const auto key = [&inputs](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (shift) {
        key(VK_SHIFT, 0);
    }
    key(virtualKey, 0);
    key(virtualKey, KEYEVENTF_KEYUP);
    if (shift) {
        key(VK_SHIFT, KEYEVENTF_KEYUP);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::Sleep(60);
}

std::optional<RunningQarvel> RunningQarvel::Start(const std::wstring &exe,
                                                  const std::wstring &workingDirectory)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    win::UniqueHandle thread(info.hThread);
    RunningQarvel program;
    program.process_.reset(info.hProcess);
    program.processId_ = info.dwProcessId;
    WaitFor([&] {
        program.window_ = FindTopWindow(program.processId_, ids::Form1Class);
        return program.window_ != nullptr;
    });
    if (program.window_ == nullptr) {
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
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(launcher.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    const win::UniqueHandle launcherProcess(info.hProcess);
    const win::UniqueHandle launcherThread(info.hThread);
    RunningQarvel program;
    WaitFor([&] {
        program.window_ = ::FindWindowW(ids::Form1Class, nullptr);
        for (; program.window_ != nullptr;
             program.window_ =
                 ::FindWindowExW(nullptr, program.window_, ids::Form1Class, nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(program.window_, &owner);
            win::UniqueHandle process(::OpenProcess(
                PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, owner));
            std::wstring image(32768, L'\0');
            DWORD size = static_cast<DWORD>(image.size());
            if (process && ::IsWindowVisible(program.window_) &&
                ::QueryFullProcessImageNameW(process.get(), 0, image.data(), &size)) {
                image.resize(size);
                if (SameText(image, exe)) {
                    program.process_ = std::move(process);
                    program.processId_ = owner;
                    return true;
                }
            }
        }
        return false;
    });
    if (program.window_ == nullptr) {
        return std::nullopt;
    }
    ::WaitForInputIdle(program.process_.get(), 5000);
    return program;
}

RunningQarvel::~RunningQarvel()
{
    if (process_ && IsRunning()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND RunningQarvel::Control(int id) const
{
    return ::GetDlgItem(window_, id);
}

bool RunningQarvel::IsRunning() const
{
    return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool RunningQarvel::IsResponsive(Duration limit) const
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                 static_cast<UINT>(limit.count()), &result) != 0;
}

std::wstring RunningQarvel::OpenFolderShown() const
{
    const HWND dir = Control(ids::Dir1);
    const int selected = ListSelection(dir);
    const auto items = FolderPaths(dir);
    return selected >= 0 && static_cast<size_t>(selected) < items.size()
               ? items[static_cast<size_t>(selected)]
               : std::wstring{};
}

bool RunningQarvel::OpenFolder(const std::wstring &path)
{
    const HWND dir = Control(ids::Dir1);
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
    const HWND file = Control(ids::File1);
    const auto items = ListItems(file);
    const auto found = std::ranges::find(items, name);
    if (found == items.end()) {
        return false;
    }
    const int index = static_cast<int>(found - items.begin());
    ClickListItem(file, index);
    return WaitFor([&] { return ListSelection(file) == index; }, 3s);
}

std::optional<MessageBoxSeen> RunningQarvel::WaitForMessageBox(Duration limit) const
{
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindTopWindow(processId_, L"#32770")) != nullptr; }, limit)) {
        return std::nullopt;
    }
    MessageBoxSeen seen{box, WindowText(::GetDlgItem(box, 0xFFFF)), {}};
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

bool RunningQarvel::ExpectBox(const std::wstring &text, int buttonId) const
{
    const auto box = WaitForMessageBox();
    return box && box->text == text && Answer(*box, buttonId);
}

bool RunningQarvel::NoMessageBox(Duration wait) const
{
    return !WaitForMessageBox(wait).has_value();
}

bool RunningQarvel::Close()
{
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    return ::WaitForSingleObject(process_.get(), 10000) == WAIT_OBJECT_0;
}

namespace {

// The clipboard is shared with every program: wait briefly while another one holds it.
bool OpenClipboardPatiently()
{
    return WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, 2s);
}

} // namespace

std::optional<std::wstring> ClipboardText()
{
    if (!OpenClipboardPatiently()) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

bool SetClipboard(const std::wstring &text)
{
    if (!OpenClipboardPatiently()) {
        return false;
    }
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    win::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    bool done = false;
    if (memory) {
        if (void *chars = ::GlobalLock(memory.get())) {
            std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t *>(chars));
            ::GlobalUnlock(memory.get());
            done = ::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
            if (done) {
                memory.release(); // the system owns it now
            }
        }
    }
    ::CloseClipboard();
    return done;
}

} // namespace qarvel::drive
