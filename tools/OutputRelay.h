#pragma once
// Passes the Linux chdman's output on to the bridge's own standard streams while it grows, so
// the command window shows chdman's progress and errors as they come.

#include "win32/Handles.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace qarvel::bridge {

// One of the bridge's standard streams. A console gets wide text (the bytes are the Unix
// code page, UTF-8); a file or pipe gets the bytes unchanged.
class StandardStream {
public:
    explicit StandardStream(DWORD which);

    void Write(std::string_view bytes);
    // Writes any unfinished UTF-8 sequence held back for the console.
    void Flush();
    // One line of the bridge's own, with its prefix.
    void WriteMessage(const std::wstring &message);
    // Whether the stream was a console that is gone: Wine keeps a program running when its
    // console window is closed, without a close event.
    bool ConsoleGone() const;

private:
    void WriteWide(const std::wstring &text);

    HANDLE handle_;
    bool console_ = false;
    std::string pending_;
};

// Follows a file the shell writes: opens it once it exists and relays what was added since
// the last call. A file that never appears relays nothing.
class FileFollower {
public:
    FileFollower(std::wstring path, StandardStream &target)
        : path_(std::move(path)), target_(target)
    {
    }

    void Pump();

private:
    std::wstring path_;
    StandardStream &target_;
    win::UniqueFile file_;
};

} // namespace qarvel::bridge
