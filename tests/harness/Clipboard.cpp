// The clipboard as the tests read and set it, and another program holding it.

#include "Driver.h"
#include "Lab.h"

#include <algorithm>

namespace qarvel::drive {

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

ClipboardHolder::ClipboardHolder(DWORD holdMs)
{
    const std::wstring holder = FromBuildPath(QARVEL_CLIPBOARD_HOLDER_PATH);
    const std::wstring name = L"qarvel-clipboard-held-" + std::to_wstring(::GetCurrentProcessId());
    ready_.reset(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    std::wstring line = L"\"" + holder + L"\" " + std::to_wstring(holdMs) + L" " + name;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!ready_ || !::CreateProcessW(holder.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "clipboard-holder.exe not started, error " << ::GetLastError();
        return;
    }
    process_ = win::UniqueProcess(info);
    // It ends at once when it cannot take the clipboard.
    const HANDLE either[] = {ready_.get(), process_.process.get()};
    held_ = ::WaitForMultipleObjects(2, either, FALSE, 10000) == WAIT_OBJECT_0;
    if (!held_) {
        ADD_FAILURE() << "clipboard-holder.exe never held the clipboard";
    }
}

bool ClipboardHolder::Finish()
{
    DWORD code = 1;
    return process_.process &&
           ::WaitForSingleObject(process_.process.get(), 20000) == WAIT_OBJECT_0 &&
           ::GetExitCodeProcess(process_.process.get(), &code) && code == 0;
}

} // namespace qarvel::drive
