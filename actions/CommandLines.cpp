#include "CommandLines.h"

#include "Texts.h"

#include <algorithm>
#include <iterator>

namespace qarvel {

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
