#pragma once
// The main window's layout in one table, in twips (1440 to the inch), scaled to pixels at the
// window's DPI. Creation order is tab order.

#include "window/ControlIds.h"

#include <windows.h>

#include <span>

namespace qarvel::window {

enum class ControlKind { Label, PushButton, CheckBox, DirectoryList, DriveList, FileList };

// The width of every label: it sizes itself to its caption on one line.
inline constexpr int FitsCaption = -1;

struct LayoutEntry {
    ids::Control id;
    ControlKind kind;
    const wchar_t *caption;
    int left;
    int top;
    int width; // FitsCaption for a label
    int height;
    bool clickable; // labels only: sends STN_CLICKED
};

inline constexpr const wchar_t *FormCaption = L"Qarvel Compression Tool v0.1 ";
inline constexpr int FormClientWidth = 5985;
inline constexpr int FormClientHeight = 3990;

// Every control of the window, in tab order.
std::span<const LayoutEntry> FormLayout();
const LayoutEntry &LayoutOf(ids::Control id);

// The window's client size in pixels at the given DPI.
SIZE FormClientSize(UINT dpi);
// Position and size of a control in pixels; a label's width is its caption's width, cut off
// at the client area's right edge, and its height at least the caption's height.
RECT ControlRect(const LayoutEntry &entry, UINT dpi, SIZE captionExtent);

} // namespace qarvel::window
