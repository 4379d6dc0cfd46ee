#pragma once
// Text conversions and error descriptions for the Win32 side of the bridge.

#include <windows.h>

#include <string>
#include <string_view>

namespace qarvel::bridge {

// Wine's code page for Unix file names, argv and the environment (a Wine extension).
inline constexpr UINT UnixCodePage = 65010;

// Wide text to the bytes Linux programs see (Unix code page, UTF-8 where Wine lacks it).
std::string ToUnixText(std::wstring_view text);
std::wstring FromUnixText(std::string_view bytes);

// "The system cannot find the path specified. (error 3)"
std::wstring DescribeError(DWORD error);

// The text in double quotes, for naming a path in a message.
std::wstring Quoted(std::wstring_view text);

} // namespace qarvel::bridge
