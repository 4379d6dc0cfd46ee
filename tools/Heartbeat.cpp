#include "Heartbeat.h"

#include <chrono>

namespace qarvel::bridge {

namespace {

constexpr auto BeatPeriod = std::chrono::milliseconds(500);

} // namespace

DWORD Heartbeat::Start(const std::wstring &path)
{
    file_.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        return ::GetLastError();
    }
    thread_ = std::jthread([this](std::stop_token stop) { Beat(stop); });
    return ERROR_SUCCESS;
}

void Heartbeat::Beat(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        // Each write sets the file's modification time, which is all the watchdog reads. A
        // failed beat is not reported: the one after it may succeed, and a bridge that cannot
        // write into its own folder at all has its tool stopped, which is right.
        LARGE_INTEGER start{};
        DWORD written = 0;
        ::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN);
        ::WriteFile(file_.get(), "*", 1, &written, nullptr);
        // Wakes early when the stop is requested.
        wake_.wait_for(lock, stop, BeatPeriod, [] { return false; });
        if (stop.stop_requested()) {
            return;
        }
    }
}

} // namespace qarvel::bridge
