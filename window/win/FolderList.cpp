#include "FolderList.h"

#include "win32/PathText.h"

namespace qarvel::window {

namespace {

// The caret item shows the focus rectangle while the list holds the focus, as a standard list
// box's does: not while the window hides its focus cues (UISF_HIDEFOCUS, until a key is used),
// which the list tells as ODS_NOFOCUSRECT. Every drawing is whole, so the one asked for a
// change of focus (ODA_FOCUS) draws or clears the rectangle with the rest.
bool ShowsFocus(const DRAWITEMSTRUCT &item)
{
    return (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0;
}

} // namespace

void FolderList::Open(const std::wstring &directory, const std::vector<std::wstring> &subfolders)
{
    const std::vector<std::wstring> chain = win32::DirectoryChain(directory);
    list_.SetRedraw(false);
    list_.Clear();
    paths_.clear();
    // The list is not sorted: each item stays at the index it was added at.
    const auto add = [this](std::wstring path, const std::wstring &name, int depth) {
        const int index = list_.Add(name);
        if (index >= 0) {
            list_.SetItemData(index, depth);
            paths_.push_back(std::move(path));
        }
    };
    int depth = 0;
    for (const std::wstring &step : chain) {
        add(step, win32::DirectoryDisplayName(step), depth++);
    }
    for (const std::wstring &name : subfolders) {
        add(win32::PathInFolder(directory, name), name, depth);
    }
    list_.SetRedraw(true);
    ::InvalidateRect(list_.Handle(), nullptr, TRUE);
    open_ = directory;
    openIndex_ = static_cast<int>(chain.size()) - 1;
    HighlightOpenDirectory();
}

void FolderList::HighlightOpenDirectory()
{
    list_.Select(openIndex_);
}

std::wstring FolderList::Highlighted() const
{
    const int selected = list_.Selection();
    return selected < 0 || static_cast<std::size_t>(selected) >= paths_.size()
               ? open_
               : paths_[static_cast<std::size_t>(selected)];
}

void FolderList::Draw(const DRAWITEMSTRUCT &item, UINT dpi) const
{
    if (item.itemID == static_cast<UINT>(-1)) {
        // An empty list: only the focus, on its first line.
        ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOW));
        if (ShowsFocus(item)) {
            ::DrawFocusRect(item.hDC, &item.rcItem);
        }
        return;
    }
    const int index = static_cast<int>(item.itemID);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem,
               ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

    const int step = ::MulDiv(10, static_cast<int>(dpi), 96);
    const int margin = ::MulDiv(2, static_cast<int>(dpi), 96);
    const auto depth = static_cast<int>(list_.ItemData(index));
    RECT text = item.rcItem;
    text.left += margin + depth * step;

    // A small folder, drawn with the text colour: the open folder and its ancestors filled.
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int glyph = height / 2;
    RECT folder{text.left, item.rcItem.top + (height - glyph) / 2 + 1, text.left + glyph + 2,
                item.rcItem.top + (height + glyph) / 2 + 1};
    HBRUSH ink = ::GetSysColorBrush(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    if (index <= openIndex_) {
        ::FillRect(item.hDC, &folder, ink);
    } else {
        ::FrameRect(item.hDC, &folder, ink);
    }
    RECT tab{folder.left, folder.top - 2, folder.left + glyph / 2 + 1, folder.top};
    ::FillRect(item.hDC, &tab, ink);
    text.left = folder.right + margin * 2;

    const std::wstring name = list_.ItemText(index);
    ::DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (ShowsFocus(item)) {
        ::DrawFocusRect(item.hDC, &item.rcItem);
    }
}

} // namespace qarvel::window
