#include "TaskWatch.h"

#include "win32/ErrorText.h"

namespace qarvel::host {

bool TaskWatch::Add(TaskNumber task, win32::UniqueHandle process)
{
    if (!process || handles_.size() >= Capacity) {
        return false;
    }
    tasks_.push_back(task);
    handles_.push_back(process.get());
    owners_.push_back(std::move(process));
    return true;
}

EndedTask TaskWatch::Take(size_t index)
{
    DWORD code = 0;
    if (!::GetExitCodeProcess(handles_[index], &code)) {
        win32::TraceFailure(L"GetExitCodeProcess", ::GetLastError());
        code = 0;
    }
    const EndedTask ended{tasks_[index], code};
    const auto at = static_cast<std::ptrdiff_t>(index);
    tasks_.erase(tasks_.begin() + at);
    handles_.erase(handles_.begin() + at);
    owners_.erase(owners_.begin() + at);
    return ended;
}

} // namespace qarvel::host
