#include "OutputRelay.h"

#include "BridgeTexts.h"
#include "Utf8Chunks.h"
#include "Win32Text.h"

namespace qarvel::bridge {

namespace {

constexpr DWORD ReadChunk = 64 * 1024;

} // namespace

StandardStream::StandardStream(DWORD which) : handle_(::GetStdHandle(which))
{
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
               ::GetConsoleMode(handle_, &mode) != FALSE;
}

void StandardStream::Write(std::string_view bytes)
{
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE || bytes.empty()) {
        return;
    }
    if (console_) {
        pending_.append(bytes);
        const std::size_t complete = CompleteUtf8Length(pending_);
        WriteWide(FromUnixText(std::string_view(pending_).substr(0, complete)));
        pending_.erase(0, complete);
        return;
    }
    // Nothing sensible is left to do when the stream itself fails; chdman's exit code stays.
    DWORD written = 0;
    ::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void StandardStream::Flush()
{
    if (!pending_.empty()) {
        WriteWide(FromUnixText(pending_));
        pending_.clear();
    }
}

void StandardStream::WriteMessage(const std::wstring &message)
{
    Flush();
    const std::wstring line = texts::Prefix + message + L"\n";
    if (console_) {
        WriteWide(line);
    } else {
        Write(ToUnixText(line));
    }
}

bool StandardStream::ConsoleGone() const
{
    DWORD mode = 0;
    return console_ && !::GetConsoleMode(handle_, &mode);
}

void StandardStream::WriteWide(const std::wstring &text)
{
    DWORD written = 0;
    ::WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void FileFollower::Pump()
{
    if (!file_) {
        file_.reset(::CreateFileW(path_.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) {
            return;
        }
    }
    std::string buffer(ReadChunk, '\0');
    DWORD read = 0;
    while (::ReadFile(file_.get(), buffer.data(), ReadChunk, &read, nullptr) && read > 0) {
        target_.Write(std::string_view(buffer).substr(0, read));
    }
}

} // namespace qarvel::bridge
