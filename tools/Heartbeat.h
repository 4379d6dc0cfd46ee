#pragma once
// The bridge's sign of life for the script's watchdog: a thread of its own writes to a file in
// the private folder twice a second, whatever the console does, until the run is over.

#include "win32/Handles.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qarvel::bridge {

class Heartbeat {
public:
    // Creates the file and starts beating; ERROR_SUCCESS or the reason it could not.
    DWORD Start(const std::wstring &path);

private:
    void Beat(std::stop_token stop);

    win::UniqueFile file_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::jthread thread_; // last: on destruction stopped and joined before what it uses goes
};

} // namespace qarvel::bridge
