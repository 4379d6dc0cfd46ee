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
    const win::ClipboardCloser closer;
    const win::GlobalLockGuard chars(::GetClipboardData(CF_UNICODETEXT));
    if (chars.get() == nullptr) {
        return std::nullopt;
    }
    return static_cast<const wchar_t *>(chars.get());
}

bool SetClipboard(const std::wstring &text)
{
    if (!OpenClipboardPatiently()) {
        return false;
    }
    const win::ClipboardCloser closer;
    ::EmptyClipboard();
    win::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    {
        const win::GlobalLockGuard chars(memory.get());
        if (chars.get() == nullptr) {
            return false;
        }
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t *>(chars.get()));
    }
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        return false;
    }
    memory.release(); // the system owns it now
    return true;
}

ClipboardHolder::ClipboardHolder(DWORD holdMs)
{
    const std::wstring holder = FromBuildPath(QARVEL_CLIPBOARD_HOLDER_PATH);
    const std::wstring name = L"qarvel-clipboard-held-" + std::to_wstring(::GetCurrentProcessId());
    ready_.reset(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    auto started =
        ready_
            ? StartProcess(holder, L"\"" + holder + L"\" " + std::to_wstring(holdMs) + L" " + name)
            : std::nullopt;
    if (!started) {
        ADD_FAILURE() << "clipboard-holder.exe not started, error " << ::GetLastError();
        return;
    }
    process_ = std::move(*started);
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
