#include "FileList.h"

namespace qarvel::win {

namespace {

// Turns drawing off while the list is filled and repaints it once at the end.
class RedrawPause {
public:
    explicit RedrawPause(Control &control) : control_(control) { control_.SetRedraw(false); }
    RedrawPause(const RedrawPause &) = delete;
    RedrawPause &operator=(const RedrawPause &) = delete;
    ~RedrawPause()
    {
        control_.SetRedraw(true);
        ::InvalidateRect(control_.Handle(), nullptr, TRUE);
    }

private:
    Control &control_;
};

} // namespace

DWORD FileList::Show(const std::wstring &directory, const FolderEntries &entries)
{
    ClearSelection();
    directory_ = directory;
    RedrawPause pause(list_);
    list_.Clear();
    // Each name is kept with its terminating null.
    list_.Reserve(entries.files.size(), entries.filesLength + entries.files.size());
    for (const std::wstring &name : entries.files) {
        const int added = list_.Add(name);
        if (added == LB_ERR || added == LB_ERRSPACE) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    return ERROR_SUCCESS;
}

std::wstring FileList::SelectedName() const
{
    const int selected = list_.Selection();
    return selected == LB_ERR ? std::wstring{} : list_.ItemText(selected);
}

} // namespace qarvel::win
