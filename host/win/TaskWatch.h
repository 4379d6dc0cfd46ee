#pragma once
// The processes Qarvel keeps watch over: their handles, for the message loop to wait on beside
// the window's messages, and how each one ended.

#include "actions/HostServices.h"
#include "win32/Handles.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace qarvel::host {

struct EndedTask {
    TaskNumber task = NoTask;
    std::optional<ExitCode> code; // nothing when it could not be read
};

class TaskWatch {
public:
    // One wait takes at most MAXIMUM_WAIT_OBJECTS handles, one of them for the messages.
    static constexpr size_t Capacity = MAXIMUM_WAIT_OBJECTS - 1;
    // Kept free for the watches that must not fail: a compression for each of the two outputs,
    // never two for one.
    static constexpr size_t KeptForAlways = 2;

    // True when a process started with this need can be watched now.
    bool HasRoom(Watch watch) const;
    // Watches the process; only after HasRoom said so.
    void Add(TaskNumber task, win32::UniqueHandle process);
    // The handles to wait on, in the order of their indexes.
    const std::vector<HANDLE> &Handles() const { return handles_; }
    // Takes the ended process at the index out of the watch, with its exit code.
    EndedTask Take(size_t index);

private:
    std::vector<TaskNumber> tasks_;
    std::vector<HANDLE> handles_; // owned: closed when taken out, or with the watch
    std::vector<win32::UniqueHandle> owners_;
};

} // namespace qarvel::host
