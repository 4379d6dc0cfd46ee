#pragma once
// Small owners for Win32 handles: each closes its handle exactly once, on every path.

#include <windows.h>

#include <utility>

namespace qarvel::win32 {

// Owns a handle of type H; Invalid() marks "nothing owned" and Close(h) releases it.
template <typename Traits> class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(const Unique &) = delete;
    Unique &operator=(const Unique &) = delete;
    Unique(Unique &&other) noexcept : handle_(other.release()) {}
    Unique &operator=(Unique &&other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid())
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// CreateFileW and FindFirstFileW mark failure with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

template <typename T> struct GdiObjectTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::GlobalFree(h); }
};

// Memory the system allocated for us with LocalAlloc (e.g. FORMAT_MESSAGE_ALLOCATE_BUFFER).
struct LocalTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

// A library loaded with LoadLibraryExW.
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

struct AcceleratorTraits {
    using Handle = HACCEL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyAcceleratorTable(h); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFile = Unique<FileHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueGlobal = Unique<GlobalTraits>;
using UniqueLocal = Unique<LocalTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueAccelerators = Unique<AcceleratorTraits>;

// Restores the thread's error mode when it goes out of scope; used around drive and folder
// access so a drive that is not ready never raises the system's critical-error box.
class ScopedErrorMode {
public:
    explicit ScopedErrorMode(DWORD mode) { ::SetThreadErrorMode(mode, &old_); }
    ScopedErrorMode(const ScopedErrorMode &) = delete;
    ScopedErrorMode &operator=(const ScopedErrorMode &) = delete;
    ~ScopedErrorMode() { ::SetThreadErrorMode(old_, nullptr); }

private:
    DWORD old_ = 0;
};

// Both handles of a started process, closed together; the process itself runs on.
struct UniqueProcess {
    UniqueHandle process;
    UniqueHandle thread;

    UniqueProcess() = default;
    explicit UniqueProcess(const PROCESS_INFORMATION &info)
        : process(info.hProcess), thread(info.hThread)
    {
    }
};

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};

using UniqueWindow = Unique<WindowTraits>;

// Closes the clipboard this thread opened; made only after OpenClipboard succeeded.
class ClipboardCloser {
public:
    ClipboardCloser() = default;
    ClipboardCloser(const ClipboardCloser &) = delete;
    ClipboardCloser &operator=(const ClipboardCloser &) = delete;
    ~ClipboardCloser() { ::CloseClipboard(); }
};

// A window's device context, released when it goes out of scope with the font that was
// selected into it before put back; get() is null when the context could not be had.
class DcGuard {
public:
    explicit DcGuard(HWND window) : window_(window), dc_(::GetDC(window)) {}
    DcGuard(const DcGuard &) = delete;
    DcGuard &operator=(const DcGuard &) = delete;
    ~DcGuard()
    {
        if (dc_ != nullptr) {
            if (oldFont_ != nullptr) {
                ::SelectObject(dc_, oldFont_);
            }
            ::ReleaseDC(window_, dc_);
        }
    }

    HDC get() const { return dc_; }
    // Draws with the font until the guard goes, or until another is selected.
    void Select(HFONT font)
    {
        const HGDIOBJ old = ::SelectObject(dc_, font);
        if (oldFont_ == nullptr) {
            oldFont_ = old;
        }
    }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ oldFont_ = nullptr;
};

// Locks a global memory block for as long as it lives; get() is null when the lock failed.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(::GlobalLock(memory)) {}
    GlobalLockGuard(const GlobalLockGuard &) = delete;
    GlobalLockGuard &operator=(const GlobalLockGuard &) = delete;
    ~GlobalLockGuard()
    {
        if (data_ != nullptr) {
            ::GlobalUnlock(memory_);
        }
    }

    void *get() const { return data_; }

private:
    HGLOBAL memory_;
    void *data_;
};

} // namespace qarvel::win32
