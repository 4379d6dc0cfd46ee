#include "TaskWatch.h"

#include "win32/ErrorText.h"

namespace qarvel::host {

bool TaskWatch::HasRoom(Watch watch) const
{
    const size_t room = watch == Watch::Always ? Capacity : Capacity - KeptForAlways;
    return handles_.size() < room;
}

void TaskWatch::Add(TaskNumber task, win32::UniqueHandle process)
{
    tasks_.push_back(task);
    handles_.push_back(process.get());
    owners_.push_back(std::move(process));
}

EndedTask TaskWatch::Take(size_t index)
{
    EndedTask ended{tasks_[index], std::nullopt};
    DWORD code = 0;
    if (::GetExitCodeProcess(handles_[index], &code)) {
        ended.code = code;
    } else {
        win32::TraceFailure(L"GetExitCodeProcess", ::GetLastError());
    }
    const auto at = static_cast<std::ptrdiff_t>(index);
    tasks_.erase(tasks_.begin() + at);
    handles_.erase(handles_.begin() + at);
    owners_.erase(owners_.begin() + at);
    return ended;
}

} // namespace qarvel::host
