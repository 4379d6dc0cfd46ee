#include "Clipboard.h"

#include "win32/ErrorText.h"
#include "win32/Handles.h"

#include <cstring>

namespace qarvel::host {

namespace {

// Another program may hold the clipboard for a moment (a clipboard manager reading it, say).
constexpr int OpenTries = 10;
constexpr DWORD PauseBetweenTries = 50; // milliseconds

bool OpenClipboardPatiently(HWND owner)
{
    for (int attempt = 1;; ++attempt) {
        if (::OpenClipboard(owner)) {
            return true;
        }
        if (attempt == OpenTries) {
            win32::TraceFailure(L"OpenClipboard", ::GetLastError());
            return false;
        }
        ::Sleep(PauseBetweenTries);
    }
}

// The text with its terminating NUL, in memory the clipboard can take over.
win32::UniqueGlobal CopyToGlobal(const std::wstring &text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    win32::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
        win32::TraceFailure(L"GlobalAlloc", ::GetLastError());
        return memory;
    }
    const win32::GlobalLockGuard lock(memory.get());
    if (lock.get() == nullptr) {
        win32::TraceFailure(L"GlobalLock", ::GetLastError());
        return win32::UniqueGlobal();
    }
    std::memcpy(lock.get(), text.c_str(), bytes);
    return memory;
}

} // namespace

bool SetClipboardText(HWND owner, const std::wstring &text)
{
    // Prepared before opening, so the clipboard is held as briefly as possible.
    win32::UniqueGlobal memory = CopyToGlobal(text);
    if (!memory || !OpenClipboardPatiently(owner)) {
        return false;
    }
    const win32::ClipboardCloser closer;
    if (!::EmptyClipboard()) {
        win32::TraceFailure(L"EmptyClipboard", ::GetLastError());
        return false;
    }
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        win32::TraceFailure(L"SetClipboardData", ::GetLastError());
        return false; // the memory is still ours and is freed here
    }
    memory.release(); // the system owns it now
    return true;
}

} // namespace qarvel::host
