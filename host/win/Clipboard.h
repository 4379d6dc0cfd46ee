#pragma once
// Writing text to the clipboard.

#include <windows.h>

#include <string>

namespace qarvel::host {

// Replaces the clipboard's contents with the text (CF_UNICODETEXT). While another program
// holds the clipboard it tries again for about half a second. False when it could not.
bool SetClipboardText(HWND owner, const std::wstring &text);

} // namespace qarvel::host
