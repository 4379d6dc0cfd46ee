#include "Texts.h"

#include <array>

namespace qarvel {

std::wstring Fill(std::wstring_view text, std::initializer_list<std::wstring_view> values)
{
    std::wstring filled;
    filled.reserve(text.size() + 64);
    for (std::size_t at = 0; at < text.size();) {
        const bool isPlace = text[at] == L'{' && at + 2 < text.size() && text[at + 2] == L'}' &&
                             text[at + 1] >= L'1' && text[at + 1] <= L'9';
        const auto index = isPlace ? static_cast<std::size_t>(text[at + 1] - L'1') : 0;
        if (isPlace && index < values.size()) {
            filled += values.begin()[index];
            at += 3;
        } else {
            filled += text[at++];
        }
    }
    return filled;
}

std::wstring Digits(std::uint64_t number, unsigned base, std::size_t width)
{
    std::wstring digits;
    while (number != 0 || digits.size() < width) {
        digits.insert(digits.begin(), L"0123456789ABCDEF"[number % base]);
        number /= base;
    }
    return digits;
}

std::wstring SizeText(std::uint64_t bytes)
{
    if (bytes < 1024) {
        return Digits(bytes) + (bytes == 1 ? L" byte" : L" bytes");
    }
    constexpr std::array<const wchar_t *, 5> Units{L" KB", L" MB", L" GB", L" TB", L" PB"};
    // Tenths of the unit, rounded; past 1023.9 the next unit is taken.
    std::uint64_t unit = 1024;
    std::size_t which = 0;
    auto tenths = [&bytes](std::uint64_t size) {
        return (bytes / size * 10) + ((bytes % size) * 10 + size / 2) / size;
    };
    while (which + 1 < Units.size() && tenths(unit) >= 10240) {
        unit *= 1024;
        ++which;
    }
    const std::uint64_t shown = tenths(unit);
    return Digits(shown / 10) + L"." + Digits(shown % 10) + Units[which];
}

std::wstring DurationText(std::uint64_t milliseconds)
{
    const std::uint64_t seconds = (milliseconds + 500) / 1000;
    if (seconds == 0) {
        return L"less than 1 s";
    }
    if (seconds < 60) {
        return Digits(seconds) + L" s";
    }
    if (seconds < 3600) {
        return Digits(seconds / 60) + L" min " + Digits(seconds % 60) + L" s";
    }
    return Digits(seconds / 3600) + L" h " + Digits(seconds % 3600 / 60) + L" min";
}

std::wstring PercentText(std::uint64_t part, std::uint64_t whole)
{
    if (whole == 0) {
        return L"0";
    }
    // In two steps, so that no product overflows for any file size.
    const std::uint64_t percent = part / whole * 100 + ((part % whole) * 100 + whole / 2) / whole;
    return Digits(percent);
}

std::wstring ExitCodeText(ExitCode code)
{
    code &= 0xFFFFFFFFUL; // a Windows exit code has 32 bits
    return Fill(texts::ExitCodeNumber, {code <= 0xFFFF ? Digits(code) : L"0x" + Digits(code, 16, 8)});
}

} // namespace qarvel
