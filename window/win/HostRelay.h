#pragma once
// Passes every host call through unchanged and tells the window first, so the window knows
// that time may have passed (a message box runs its own message loop).

#include "host/HostServices.h"

#include <functional>
#include <utility>

namespace qarvel::win {

class HostRelay final : public HostServices {
public:
    HostRelay(HostServices &host, std::function<void()> beforeCall)
        : host_(host), beforeCall_(std::move(beforeCall))
    {
    }

    TaskNumber LaunchCommand(const std::wstring &commandLine, ShowMode mode) override
    {
        beforeCall_();
        return host_.LaunchCommand(commandLine, mode);
    }
    Answer ShowMessageBox(const std::wstring &prompt, MessageStyle style) override
    {
        beforeCall_();
        return host_.ShowMessageBox(prompt, style);
    }
    bool SetClipboardText(const std::wstring &text) override
    {
        beforeCall_();
        return host_.SetClipboardText(text);
    }
    bool FileExists(const std::wstring &path) override
    {
        beforeCall_();
        return host_.FileExists(path);
    }
    std::wstring ProgramDirectory() override
    {
        beforeCall_();
        return host_.ProgramDirectory();
    }
    bool IsEnvironmentVariable(const std::wstring &name) override
    {
        beforeCall_();
        return host_.IsEnvironmentVariable(name);
    }

private:
    HostServices &host_;
    std::function<void()> beforeCall_;
};

} // namespace qarvel::win
