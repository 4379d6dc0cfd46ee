#pragma once
// One place that turns a Win32 error code into words for a person.

#include <windows.h>

#include <string>

namespace qarvel::win32 {

// The system's wording for the error, without the trailing line break ("Access is denied.");
// "Error N" when the system has none.
std::wstring DescribeError(DWORD error);

// Leaves a line for a developer about a failed call (seen in a debugger, or under Wine with
// WINEDEBUG=+debugstr). The user is told by the caller's result, not by this.
void TraceFailure(const wchar_t *what, DWORD error);

} // namespace qarvel::win32
