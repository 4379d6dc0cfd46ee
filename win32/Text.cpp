#include "Text.h"

#include <windows.h>

#include <limits>

namespace qarvel::win32 {

namespace {

int Length(std::size_t size)
{
    return size > static_cast<std::size_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(size);
}

} // namespace

std::string ToUtf8(std::wstring_view text, unsigned codePage)
{
    if (text.empty()) {
        return {};
    }
    const int length = ::WideCharToMultiByte(codePage, 0, text.data(), Length(text.size()), nullptr,
                                             0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        ::WideCharToMultiByte(codePage, 0, text.data(), Length(text.size()), bytes.data(), length,
                              nullptr, nullptr);
    }
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes, unsigned codePage)
{
    if (bytes.empty()) {
        return {};
    }
    const int length =
        ::MultiByteToWideChar(codePage, 0, bytes.data(), Length(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(codePage, 0, bytes.data(), Length(bytes.size()), text.data(), length);
    }
    return text;
}

} // namespace qarvel::win32
