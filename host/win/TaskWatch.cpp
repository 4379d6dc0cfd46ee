#include "TaskWatch.h"

namespace qarvel::host {

bool TaskWatch::HasRoom(Watch watch) const
{
    const size_t room = watch == Watch::Always ? Capacity : Capacity - KeptForAlways;
    return handles_.size() < room;
}

void TaskWatch::Add(StartedTask started)
{
    handles_.push_back(started.process.get());
    started_.push_back(std::move(started));
}

StartedTask TaskWatch::Take(size_t index)
{
    const auto at = static_cast<std::ptrdiff_t>(index);
    StartedTask taken = std::move(started_[index]);
    handles_.erase(handles_.begin() + at);
    started_.erase(started_.begin() + at);
    return taken;
}

} // namespace qarvel::host
