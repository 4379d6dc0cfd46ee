#include "ArgumentKinds.h"

#include <algorithm>
#include <array>

namespace qarvel::bridge {

namespace {

// chdman's options whose value is a file name, in both spellings.
constexpr std::array<std::wstring_view, 14> FileOptions = {
    L"-i",  L"--input",        L"-o",  L"--output",    L"-ip", L"--inputparent",
    L"-op", L"--outputparent", L"-ob", L"--outputbin", L"-id", L"--ident",
    L"-vf", L"--valuefile"};

// chdman's other options that take a value (numbers, codec lists, tags, text).
constexpr std::array<std::wstring_view, 34> ValueOptions = {L"-c",   L"--compression",
                                                            L"-hs",  L"--hunksize",
                                                            L"-np",  L"--numprocessors",
                                                            L"-us",  L"--unitsize",
                                                            L"-s",   L"--size",
                                                            L"-ss",  L"--sectorsize",
                                                            L"-chs", L"--chs",
                                                            L"-tp",  L"--template",
                                                            L"-t",   L"--tag",
                                                            L"-ix",  L"--index",
                                                            L"-vt",  L"--valuetext",
                                                            L"-ib",  L"--inputbytes",
                                                            L"-if",  L"--inputframes",
                                                            L"-ih",  L"--inputhunks",
                                                            L"-isb", L"--inputstartbyte",
                                                            L"-isf", L"--inputstartframe",
                                                            L"-ish", L"--inputstarthunk"};

template <std::size_t N>
bool IsOneOf(const std::array<std::wstring_view, N> &names, std::wstring_view argument)
{
    return std::find(names.begin(), names.end(), argument) != names.end();
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsSlash(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

bool LooksLikeWindowsPath(std::wstring_view argument)
{
    if (argument.size() >= 3 && IsDriveLetter(argument[0]) && argument[1] == L':' &&
        IsSlash(argument[2])) {
        return true;
    }
    return argument.size() >= 3 && IsSlash(argument[0]) && IsSlash(argument[1]) &&
           !IsSlash(argument[2]);
}

std::vector<ArgumentKind> ClassifyArguments(const std::vector<std::wstring> &arguments)
{
    std::vector<ArgumentKind> kinds;
    kinds.reserve(arguments.size());
    enum class Expect { Any, FileValue, OtherValue } expect = Expect::Any;
    for (const auto &argument : arguments) {
        const bool isOption = argument.size() > 1 && argument[0] == L'-';
        if (expect != Expect::Any && !isOption) {
            kinds.push_back(expect == Expect::FileValue ? ArgumentKind::Path : ArgumentKind::Word);
            expect = Expect::Any;
            continue;
        }
        expect = IsOneOf(FileOptions, argument)    ? Expect::FileValue
                 : IsOneOf(ValueOptions, argument) ? Expect::OtherValue
                                                   : Expect::Any;
        const bool path = !isOption && LooksLikeWindowsPath(argument);
        kinds.push_back(path ? ArgumentKind::Path : ArgumentKind::Word);
    }
    return kinds;
}

} // namespace qarvel::bridge
