#include "Texts.h"

#include <algorithm>
#include <iterator>

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
        return Digits(bytes) + (bytes == 1 ? texts::ByteUnit : texts::BytesUnit);
    }
    // Tenths of the unit, rounded; past 1023.9 the next unit is taken.
    std::uint64_t unit = 1024;
    std::size_t which = 0;
    auto tenths = [&bytes](std::uint64_t size) {
        return (bytes / size * 10) + ((bytes % size) * 10 + size / 2) / size;
    };
    while (which + 1 < std::size(texts::SizeUnits) && tenths(unit) >= 10240) {
        unit *= 1024;
        ++which;
    }
    const std::uint64_t shown = tenths(unit);
    return Digits(shown / 10) + L"." + Digits(shown % 10) + texts::SizeUnits[which];
}

std::wstring DurationText(std::uint64_t milliseconds)
{
    const std::uint64_t seconds = (milliseconds + 500) / 1000;
    if (seconds == 0) {
        return texts::LessThanASecond;
    }
    if (seconds < 60) {
        return Fill(texts::Seconds, {Digits(seconds)});
    }
    if (seconds < 3600) {
        return Fill(texts::MinutesAndSeconds, {Digits(seconds / 60), Digits(seconds % 60)});
    }
    return Fill(texts::HoursAndMinutes, {Digits(seconds / 3600), Digits(seconds % 3600 / 60)});
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
    return Fill(texts::ExitCodeNumber,
                {code <= 0xFFFF ? Digits(code) : L"0x" + Digits(code, 16, 8)});
}

// --- names, paths and command lines ---

std::vector<std::wstring> SplitName(const std::wstring &name)
{
    std::vector<std::wstring> pieces;
    if (name.empty()) {
        return pieces;
    }
    std::wstring::size_type start = 0;
    for (;;) {
        const auto dot = name.find(texts::NameSeparator, start);
        if (dot == std::wstring::npos) {
            pieces.push_back(name.substr(start));
            return pieces;
        }
        pieces.push_back(name.substr(start, dot - start));
        start = dot + 1;
    }
}

bool IsImagePieces(const std::vector<std::wstring> &pieces)
{
    if (pieces.empty()) {
        return false;
    }
    return std::ranges::any_of(texts::AcceptedLastPieces,
                               [&](const wchar_t *accepted) { return pieces.back() == accepted; });
}

std::wstring JoinWithBackslash(const std::wstring &directory, const std::wstring &name)
{
    return directory + texts::PathSeparator + name;
}

std::wstring Trimmed(std::wstring_view text)
{
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return std::wstring(text.substr(first, text.find_last_not_of(L' ') - first + 1));
}

std::wstring FolderOf(const std::wstring &path)
{
    const auto last = path.rfind(texts::PathSeparator);
    return last == std::wstring::npos ? std::wstring{} : path.substr(0, last);
}

std::wstring NamedAfterImage(const std::wstring &imageName, const Format &format)
{
    const auto dot = imageName.rfind(texts::NameSeparator);
    return (dot == std::wstring::npos ? std::wstring{} : imageName.substr(0, dot + 1)) +
           format.extension;
}

bool HasNonAscii(std::wstring_view text)
{
    return std::ranges::any_of(text, [](wchar_t c) { return c > 0x7F; });
}

std::wstring Paragraphs(std::initializer_list<std::wstring_view> paragraphs)
{
    std::wstring joined;
    for (const std::wstring_view paragraph : paragraphs) {
        if (!paragraph.empty()) {
            joined += joined.empty() ? L"" : texts::ParagraphBreak;
            joined += paragraph;
        }
    }
    return joined;
}

namespace {

std::wstring Quoted(const std::wstring &text)
{
    return texts::Quote + text + texts::Quote;
}

} // namespace

std::wstring ToolName(const Format &format)
{
    std::wstring name = format.toolFile;
    if (name.ends_with(L".exe")) {
        name.resize(name.size() - 4);
    }
    return name;
}

std::wstring CompressCommand(const Format &format, const std::wstring &inputPath,
                             const std::wstring &programDirectory)
{
    return texts::CommandHead + ToolName(format) + format.arguments + Quoted(inputPath) +
           format.beforeOutput + Quoted(JoinWithBackslash(programDirectory, format.output));
}

std::wstring ConvertCommand(const std::wstring &programDirectory)
{
    return texts::CommandHead +
           Quoted(Quoted(JoinWithBackslash(programDirectory, texts::ConverterFile)));
}

std::wstring FindExpansion(const std::wstring &commandLine,
                           const std::function<bool(const std::wstring &)> &isVariable)
{
    // Each "%" with the next one after it: whichever way the interpreter pairs them up, every
    // text it could expand is one of these.
    for (auto open = commandLine.find(L'%'); open != std::wstring::npos;) {
        const auto close = commandLine.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            break;
        }
        // The whole text between the signs is a name ("%=C:%" too); before a colon it may be
        // a name followed by a substring or replacement ("%PATH:~0,3%").
        const std::wstring inside = commandLine.substr(open + 1, close - open - 1);
        const std::wstring beforeColon = inside.substr(0, inside.find(L':'));
        if ((!inside.empty() && isVariable(inside)) ||
            (!beforeColon.empty() && beforeColon != inside && isVariable(beforeColon))) {
            return commandLine.substr(open, close - open + 1);
        }
        open = close;
    }
    return {};
}

} // namespace qarvel
