#include "FileList.h"

#include "Font.h"

namespace qarvel::window {

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
    FitWidest(entries.files);
    return ERROR_SUCCESS;
}

void FileList::FitNames()
{
    std::vector<std::wstring> names;
    for (int i = 0, count = list_.Count(); i < count; ++i) {
        names.push_back(list_.ItemText(i));
    }
    FitWidest(names);
}

void FileList::FitWidest(const std::vector<std::wstring> &names)
{
    const HFONT font = list_.Font();
    const int widest = WidestText(list_.Handle(), font, names);
    // The list draws each name a little way in from its left edge: room for a blank on the
    // right keeps the last letter clear of the edge. An empty list measures nothing.
    list_.SetHorizontalExtent(widest > 0 ? widest + 2 * MeasureText(list_.Handle(), font, L" ").cx
                                         : 0);
}

std::wstring FileList::SelectedName() const
{
    const int selected = list_.Selection();
    return selected == LB_ERR ? std::wstring{} : list_.ItemText(selected);
}

} // namespace qarvel::window
