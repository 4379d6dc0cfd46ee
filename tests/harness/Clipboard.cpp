// The clipboard as the tests read and set it, and another program holding it.

#include "Driver.h"
#include "Lab.h"

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
    const win32::ClipboardCloser closer;
    const win32::GlobalLockGuard chars(::GetClipboardData(CF_UNICODETEXT));
    if (chars.get() == nullptr) {
        return std::nullopt;
    }
    return static_cast<const wchar_t *>(chars.get());
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
