#pragma once
// The system message font at a given DPI, and text measured with a font.

#include "win32/Handles.h"

#include <string>
#include <vector>

namespace qarvel::window {

// The message font the system uses at this DPI; an empty owner when none could be made, in
// which case the controls keep the stock GUI font.
win32::UniqueFont CreateMessageFont(UINT dpi);

// The size of the text on one line, drawn with the font in the window's device context.
SIZE MeasureText(HWND window, HFONT font, const std::wstring &text);

// The width of the widest of the texts on one line, drawn with the font in the window's device
// context; 0 when there are none.
int WidestText(HWND window, HFONT font, const std::vector<std::wstring> &texts);

} // namespace qarvel::window
