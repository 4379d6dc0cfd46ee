#include "DriveList.h"

#include "win32/GrowBuffer.h"

namespace qarvel::window {

bool DriveList::Fill()
{
    const auto roots = win32::GrowBuffer(
        [](wchar_t *buffer, DWORD size) { return ::GetLogicalDriveStringsW(size, buffer); });
    box_.Clear();
    if (!roots) {
        return false;
    }
    // A list of roots, each ended by a null, the whole ended by an empty one.
    for (const wchar_t *root = roots->c_str(); *root != L'\0'; root += wcslen(root) + 1) {
        box_.Add(root);
    }
    return box_.Count() > 0;
}

std::wstring DriveList::SelectedRoot() const
{
    const int selected = box_.Selection();
    return selected == CB_ERR ? std::wstring{} : box_.ItemText(selected);
}

void DriveList::ShowDriveOf(const std::wstring &directory)
{
    for (int i = 0; i < box_.Count(); ++i) {
        const std::wstring root = box_.ItemText(i);
        if (directory.size() >= 2 && root.size() >= 2 &&
            ::CompareStringOrdinal(directory.c_str(), 2, root.c_str(), 2, TRUE) == CSTR_EQUAL) {
            box_.Select(i);
            return;
        }
    }
    box_.Select(-1);
}

void DriveList::SetClosedHeight(int height)
{
    // The frame's share is learnt from the box itself. Some systems give back a field height
    // other than the one set, so a second pass corrects by the height the box really took.
    int field = box_.ItemHeight(-1);
    for (int pass = 0; pass < 2 && field != CB_ERR; ++pass) {
        RECT frame{};
        if (!::GetWindowRect(box_.Handle(), &frame)) {
            return;
        }
        const int difference = height - (frame.bottom - frame.top);
        if (difference == 0 || field + difference <= 0) {
            return;
        }
        field += difference;
        box_.SetItemHeight(-1, field);
    }
}

} // namespace qarvel::window
