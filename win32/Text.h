#pragma once
// Text conversions between the program's wide strings and byte strings.

#include <string>
#include <string_view>

namespace qarvel::win32 {

// UTF-8 and back; unpaired surrogates and invalid bytes become U+FFFD. codePage may name
// another code page, such as Wine's code page for Unix names.
std::string ToUtf8(std::wstring_view text, unsigned codePage = 65001);
std::wstring FromUtf8(std::string_view bytes, unsigned codePage = 65001);

} // namespace qarvel::win32
