#include "Win32Text.h"

#include <climits>
#include <memory>

namespace qarvel::bridge {

namespace {

int ToInt(std::size_t size)
{
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

std::string Narrow(UINT codePage, std::wstring_view text)
{
    const int length = ::WideCharToMultiByte(codePage, 0, text.data(), ToInt(text.size()), nullptr,
                                             0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), ToInt(text.size()), bytes.data(), length,
                          nullptr, nullptr);
    return bytes;
}

std::wstring Widen(UINT codePage, std::string_view bytes)
{
    const int length =
        ::MultiByteToWideChar(codePage, 0, bytes.data(), ToInt(bytes.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), ToInt(bytes.size()), text.data(), length);
    return text;
}

struct LocalFreeDeleter {
    void operator()(wchar_t *text) const { ::LocalFree(text); }
};

} // namespace

std::string ToUnixText(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    std::string bytes = Narrow(UnixCodePage, text);
    return bytes.empty() ? Narrow(CP_UTF8, text) : bytes;
}

std::wstring FromUnixText(std::string_view bytes)
{
    if (bytes.empty()) {
        return {};
    }
    std::wstring text = Widen(UnixCodePage, bytes);
    return text.empty() ? Widen(CP_UTF8, bytes) : text;
}

std::wstring DescribeError(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeDeleter> owner(buffer);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (!text.empty()) {
        text += L' ';
    }
    return text + L"(error " + std::to_wstring(error) + L")";
}

std::wstring Quoted(std::wstring_view text)
{
    return L"\"" + std::wstring(text) + L"\"";
}

} // namespace qarvel::bridge
