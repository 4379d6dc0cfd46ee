#include "Preflight.h"

#include "Texts.h"

#include <algorithm>

namespace qarvel {

namespace {

constexpr std::wstring_view Blanks = L" \t";

wchar_t LowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return std::ranges::equal(a, b,
                              [](wchar_t x, wchar_t y) { return LowerAscii(x) == LowerAscii(y); });
}

// The word that begins at the text's first non-blank character: up to the closing quote when
// it starts with one, otherwise up to the next blank.
std::wstring_view FirstWord(std::wstring_view text)
{
    const auto start = text.find_first_not_of(Blanks);
    if (start == std::wstring_view::npos) {
        return {};
    }
    text.remove_prefix(start);
    if (text.front() == texts::Quote) {
        text.remove_prefix(1);
        return text.substr(0, text.find(texts::Quote));
    }
    return text.substr(0, text.find_first_of(Blanks));
}

} // namespace

std::vector<std::wstring> CueSheetFiles(std::wstring_view sheet)
{
    std::vector<std::wstring> files;
    const std::wstring_view command = texts::CueFileCommand;
    while (!sheet.empty()) {
        const auto end = sheet.find_first_of(L"\r\n");
        std::wstring_view line = sheet.substr(0, end);
        sheet.remove_prefix(end == std::wstring_view::npos ? sheet.size() : end + 1);
        const auto start = line.find_first_not_of(Blanks);
        if (start == std::wstring_view::npos) {
            continue;
        }
        line.remove_prefix(start);
        if (line.size() > command.size() &&
            SameIgnoringCase(line.substr(0, command.size()), command) &&
            Blanks.find(line[command.size()]) != std::wstring_view::npos) {
            const std::wstring_view name = FirstWord(line.substr(command.size()));
            if (!name.empty()) {
                files.emplace_back(name);
            }
        }
    }
    return files;
}

std::wstring CueFilePath(const std::wstring &sheetFolder, const std::wstring &name)
{
    const bool absolute =
        (name.size() > 1 && name[1] == L':') || name.starts_with(L'\\') || name.starts_with(L'/');
    return absolute ? name : JoinWithBackslash(sheetFolder, name);
}

std::wstring OpenerProgram(std::wstring_view command)
{
    const std::wstring_view first = FirstWord(command);
    const auto start = command.find_first_not_of(Blanks);
    if (start == std::wstring_view::npos || command[start] == texts::Quote) {
        return std::wstring(first);
    }
    // Unquoted, a program's path may hold blanks (C:\Program Files\...\python.exe "%1"), as
    // Windows reads it: up to the first ".exe" that ends a word.
    const std::wstring_view end = texts::ProgramEnd;
    for (auto at = start; at + end.size() <= command.size(); ++at) {
        const auto after = at + end.size();
        if (SameIgnoringCase(command.substr(at, end.size()), end) &&
            (after == command.size() || Blanks.find(command[after]) != std::wstring_view::npos ||
             command[after] == texts::Quote)) {
            return std::wstring(command.substr(start, after - start));
        }
    }
    return std::wstring(first);
}

std::wstring FileNameOf(const std::wstring &path)
{
    const auto last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

bool IsPythonProgram(const std::wstring &program)
{
    const std::wstring name = FileNameOf(program);
    const std::wstring_view start = texts::PythonProgramStart;
    const std::wstring_view end = texts::ProgramEnd;
    return std::ranges::any_of(
               texts::PythonPrograms,
               [&name](const wchar_t *python) { return SameIgnoringCase(name, python); }) ||
           (name.size() >= start.size() + end.size() &&
            SameIgnoringCase(std::wstring_view(name).substr(0, start.size()), start) &&
            SameIgnoringCase(std::wstring_view(name).substr(name.size() - end.size()), end));
}

bool PassesArguments(std::wstring_view command)
{
    return std::ranges::any_of(texts::ArgumentPlaces, [command](const wchar_t *place) {
        return command.find(place) != std::wstring_view::npos;
    });
}

bool IsSamePath(const std::wstring &a, const std::wstring &b)
{
    const auto withoutEnd = [](std::wstring_view path) {
        return path.ends_with(texts::PathSeparator) ? path.substr(0, path.size() - 1) : path;
    };
    return SameIgnoringCase(withoutEnd(a), withoutEnd(b));
}

} // namespace qarvel
