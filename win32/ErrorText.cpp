#include "ErrorText.h"

#include "Handles.h"

namespace qarvel::win {

std::wstring DescribeError(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    const UniqueLocal owner(buffer);
    if (length == 0 || buffer == nullptr) {
        return L"Error " + std::to_wstring(error);
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
                              DescribeError(error) + L" (" + std::to_wstring(error) + L")\n";
    ::OutputDebugStringW(line.c_str());
}

} // namespace qarvel::win
