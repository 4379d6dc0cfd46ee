#pragma once
// The main window's layout in one table, in twips (1440 to the inch), scaled to pixels at the
// window's DPI. Creation order is tab order.

#include "window/ControlIds.h"

#include <windows.h>

#include <span>

namespace qarvel::window {

enum class ControlKind { Label, PushButton, CheckBox, FolderList, DriveList, FileList };

// The width of every label: it sizes itself to its caption on one line.
inline constexpr int FitsCaption = -1;

struct LayoutEntry {
    ids::Control id;
    ControlKind kind;
    const wchar_t *caption; // one of actions/Texts.h; empty for a list
    int left;
    int top;
    int width; // FitsCaption for a label
    int height;
    bool clickable; // labels only: sends STN_CLICKED
};

inline constexpr int ClientWidth = 5985;
inline constexpr int ClientHeight = 3990;

// Every control of the window, in tab order.
std::span<const LayoutEntry> WindowLayout();
const LayoutEntry &LayoutOf(ids::Control id);

// The window's client size in pixels at the given DPI.
SIZE ClientSize(UINT dpi);
// Position and size of a control in pixels; a label's width is its caption's width, cut off
// at the client area's right edge, and its height at least the caption's height.
RECT ControlRect(const LayoutEntry &entry, UINT dpi, SIZE captionExtent);

// The window class, style and extended style a control of the table is made with.
struct ChildClass {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
};
ChildClass ClassOf(const LayoutEntry &entry);

// The height a control's window takes at its place: a drop-down list is given the height of
// its open list, its closed height is set apart.
int WindowHeightOf(const LayoutEntry &entry, const RECT &place);

} // namespace qarvel::window
