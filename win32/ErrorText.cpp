#include "ErrorText.h"

#include "Handles.h"

#include <cstdlib>

namespace qarvel::win32 {

namespace {

// The number in decimal digits, written by the C runtime's own _ultow: std::to_wstring would
// bring in the C library's whole formatted printing, floating point included.
std::wstring Decimal(DWORD value)
{
    wchar_t digits[16] = {};
    ::_ultow(value, digits, 10);
    return digits;
}

} // namespace

std::wstring DescribeError(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    const UniqueLocal owner(buffer);
    if (length == 0 || buffer == nullptr) {
        return L"Error " + Decimal(error);
    }
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

void TraceFailure(const wchar_t *what, DWORD error)
{
    const std::wstring line = std::wstring(L"Qarvel: ") + what + L" failed: " +
                              DescribeError(error) + L" (" + Decimal(error) + L")\n";
    ::OutputDebugStringW(line.c_str());
}

} // namespace qarvel::win32
