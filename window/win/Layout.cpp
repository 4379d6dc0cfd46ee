#include "Layout.h"

#include "actions/Texts.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

namespace qarvel::window {

namespace {

using enum ControlKind;

constexpr std::array<LayoutEntry, 11> Table{{
    {ids::FileLabel, Label, texts::FileLabelAtStart, 120, 120, FitsCaption, 195, false},
    {ids::CompressButton, PushButton, texts::CompressCaption, 3975, 345, 615, 315, false},
    {ids::AuthorLabel, Label, texts::AuthorCaption, 2265, 3525, FitsCaption, 195, true},
    {ids::CompanyLabel, Label, texts::CompanyCaption, 2032, 3765, FitsCaption, 195, true},
    {ids::FolderList, FolderList, L"", 120, 720, 3555, 1440, false},
    {ids::DriveList, DriveList, L"", 120, 360, 3570, 315, false},
    {ids::FileList, FileList, L"", 135, 2145, 3510, 1260, false},
    {ids::ChdBox, CheckBox, texts::ChdCaption, 3990, 855, 675, 195, false},
    {ids::ZsoBox, CheckBox, texts::ZsoCaption, 3990, 1095, 660, 195, false},
    {ids::Lz4Label, Label, texts::Lz4Caption, 4725, 1095, FitsCaption, 195, true},
    {ids::ConvertButton, PushButton, texts::ConvertCaption, 4665, 345, 795, 315, false},
}};

int TwipsToPixels(int twips, UINT dpi)
{
    return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

} // namespace

std::span<const LayoutEntry> WindowLayout()
{
    return Table;
}

const LayoutEntry &LayoutOf(ids::Control id)
{
    return *std::find_if(Table.begin(), Table.end(),
                         [id](const LayoutEntry &entry) { return entry.id == id; });
}

SIZE ClientSize(UINT dpi)
{
    return {TwipsToPixels(ClientWidth, dpi), TwipsToPixels(ClientHeight, dpi)};
}

RECT ControlRect(const LayoutEntry &entry, UINT dpi, SIZE captionExtent)
{
    const int left = TwipsToPixels(entry.left, dpi);
    const int top = TwipsToPixels(entry.top, dpi);
    int width = TwipsToPixels(entry.width, dpi);
    int height = TwipsToPixels(entry.height, dpi);
    if (entry.width == FitsCaption) {
        const int room = std::max(0L, ClientSize(dpi).cx - left);
        width = std::min<int>(captionExtent.cx, room);
        height = std::max<int>(height, captionExtent.cy);
    }
    return {left, top, left + width, top + height};
}

ChildClass ClassOf(const LayoutEntry &entry)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (entry.kind) {
    case Label:
        // One line, clipped; "&" in a file name is shown, not taken for a mnemonic.
        return {WC_STATICW,
                child | SS_LEFTNOWORDWRAP | SS_NOPREFIX | (entry.clickable ? SS_NOTIFY : 0u), 0};
    case PushButton:
        return {WC_BUTTONW, child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case CheckBox:
        // Not an automatic box: the window sets the tick itself, then runs the handling.
        return {WC_BUTTONW, child | WS_TABSTOP | BS_CHECKBOX, 0};
    case FolderList:
        return {WC_LISTBOXW,
                child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE};
    case DriveList:
        return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case FileList:
        // Scrolls sideways to a name wider than the list.
        return {WC_LISTBOXW,
                child | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, child, 0};
}

int WindowHeightOf(const LayoutEntry &entry, const RECT &place)
{
    const int height = place.bottom - place.top;
    return entry.kind == DriveList ? height * 8 : height;
}

} // namespace qarvel::window
