#include "ChdmanCommand.h"

#include "ArgumentKinds.h"
#include "BridgeTexts.h"
#include "Win32Text.h"

#include <optional>

namespace qarvel::bridge {

namespace {

constexpr const char *DefaultTool = "/usr/bin/chdman";
constexpr const wchar_t *ToolVariable = L"QARVEL_CHDMAN";

std::optional<std::wstring> ReadEnvironment(const wchar_t *name)
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD length =
            ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

// The Unix path of a Windows path, or the message that says why there is none.
std::optional<std::string> ConvertPath(const WinePaths &wine, const std::wstring &path,
                                       std::wstring &error)
{
    const UnixPath converted = wine.ToUnix(path);
    if (converted.driveUnmapped) {
        error = texts::DriveNotMapped + Quoted(path) + L".";
        return std::nullopt;
    }
    if (converted.path.empty()) {
        error = texts::CannotMapPath + Quoted(path) + L": " + DescribeError(converted.error);
        return std::nullopt;
    }
    return converted.path;
}

} // namespace

ChdmanCommand ComposeChdmanCommand(const WinePaths &wine,
                                   const std::vector<std::wstring> &arguments)
{
    ChdmanCommand command;
    command.tool = DefaultTool;
    if (const auto chosen = ReadEnvironment(ToolVariable); chosen && !chosen->empty()) {
        if ((*chosen)[0] == L'/') {
            command.tool = ToUnixText(*chosen);
        } else if (auto tool = ConvertPath(wine, *chosen, command.error)) {
            command.tool = std::move(*tool);
        } else {
            return command;
        }
    }

    const std::vector<ArgumentKind> kinds = ClassifyArguments(arguments);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (kinds[i] == ArgumentKind::Word) {
            command.arguments.push_back(ToUnixText(arguments[i]));
        } else if (auto path = ConvertPath(wine, arguments[i], command.error)) {
            command.arguments.push_back(std::move(*path));
        } else {
            return command;
        }
    }
    return command;
}

} // namespace qarvel::bridge
