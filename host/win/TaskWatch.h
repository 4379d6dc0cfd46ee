#pragma once
// The processes Qarvel keeps watch over: their handles, for the message loop to wait on beside
// the window's messages.

#include "actions/HostServices.h"
#include "Launch.h"

#include <windows.h>

#include <vector>

namespace qarvel::host {

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
    void Add(StartedTask started);
    // The handles to wait on, in the order of their indexes.
    const std::vector<HANDLE> &Handles() const { return handles_; }
    // Takes the process at the index out of the watch.
    StartedTask Take(size_t index);

private:
    std::vector<HANDLE> handles_; // owned by started_, in the same order
    std::vector<StartedTask> started_;
};

} // namespace qarvel::host
