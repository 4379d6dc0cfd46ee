#include "Layout.h"

#include <algorithm>
#include <array>

namespace qarvel::window {

namespace {

using enum ControlKind;

constexpr std::array<LayoutEntry, 11> Table{{
    {ids::Label1, Label, L"File: Not Set", 120, 120, FitsCaption, 195, false},
    {ids::Command1, PushButton, L" iSO", 3975, 345, 615, 315, false},
    {ids::Label2, Label, L"Written by Mordwin", 2265, 3525, FitsCaption, 195, true},
    {ids::Label3, Label, L"Halvoren", 2032, 3765, FitsCaption, 195, true},
    {ids::Dir1, DirectoryList, L"", 120, 720, 3555, 1440, false},
    {ids::Drive1, DriveList, L"", 120, 360, 3570, 315, false},
    {ids::File1, FileList, L"", 135, 2145, 3510, 1260, false},
    {ids::Check1, CheckBox, L"CHD", 3990, 855, 675, 195, false},
    {ids::Check2, CheckBox, L"ZSO", 3990, 1095, 660, 195, false},
    {ids::Label4, Label, L"pip install lz4", 4725, 1095, FitsCaption, 195, true},
    {ids::Command2, PushButton, L"BIN2ISO", 4665, 345, 795, 315, false},
}};

int TwipsToPixels(int twips, UINT dpi)
{
    return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

} // namespace

std::span<const LayoutEntry> FormLayout()
{
    return Table;
}

const LayoutEntry &LayoutOf(ids::Control id)
{
    return *std::find_if(Table.begin(), Table.end(),
                         [id](const LayoutEntry &entry) { return entry.id == id; });
}

SIZE FormClientSize(UINT dpi)
{
    return {TwipsToPixels(FormClientWidth, dpi), TwipsToPixels(FormClientHeight, dpi)};
}

RECT ControlRect(const LayoutEntry &entry, UINT dpi, SIZE captionExtent)
{
    const int left = TwipsToPixels(entry.left, dpi);
    const int top = TwipsToPixels(entry.top, dpi);
    int width = TwipsToPixels(entry.width, dpi);
    int height = TwipsToPixels(entry.height, dpi);
    if (entry.width == FitsCaption) {
        const int room = std::max(0L, FormClientSize(dpi).cx - left);
        width = std::min<int>(captionExtent.cx, room);
        height = std::max<int>(height, captionExtent.cy);
    }
    return {left, top, left + width, top + height};
}

} // namespace qarvel::window
