#include "RunScript.h"

#include "ShellQuote.h"

#include <charconv>

namespace qarvel::bridge {

namespace {

std::string InFolder(const RunRequest &request, std::string_view name)
{
    std::string path = request.folder;
    path += '/';
    path += name;
    return ShellQuote(path);
}

std::string_view TrimLineEnd(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

template <typename Number> std::optional<Number> ParseNumber(std::string_view text)
{
    text = TrimLineEnd(text);
    Number value{};
    const auto *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string ComposeRunScript(const RunRequest &request)
{
    const std::string status = InFolder(request, files::Status);
    const std::string statusTemp = InFolder(request, std::string(files::Status) + ".tmp");
    const std::string pidTemp = InFolder(request, std::string(files::ShellPid) + ".tmp");

    std::string script = "# Written by the chdman bridge: runs the tool once and leaves its exit "
                         "status.\n";
    script += "echo $$ >" + pidTemp + " && mv " + pidTemp + ' ' +
              InFolder(request, files::ShellPid) + '\n';
    script += "tool=" + ShellQuote(request.tool) + '\n';
    script += "if [ -f \"$tool\" ] && [ -x \"$tool\" ]; then\n";
    script += "  \"$tool\"";
    for (const auto &argument : request.arguments) {
        script += ' ';
        script += ShellQuote(argument);
    }
    script += " </dev/null >" + InFolder(request, files::Output) + " 2>" +
              InFolder(request, files::Errors) + '\n';
    script += "  status=$?\n";
    script += "else\n";
    script += "  status=" + std::string(MissingToolStatus) + '\n';
    script += "fi\n";
    script += "echo \"$status\" >" + statusTemp + " && mv " + statusTemp + ' ' + status + '\n';
    return script;
}

std::optional<RunStatus> ParseRunStatus(std::string_view text)
{
    if (TrimLineEnd(text) == MissingToolStatus) {
        return RunStatus{RunStatus::Kind::ToolMissing, 0};
    }
    if (const auto code = ParseNumber<int>(text); code && *code >= 0) {
        return RunStatus{RunStatus::Kind::Exited, *code};
    }
    return std::nullopt;
}

std::optional<unsigned long> ParseShellPid(std::string_view text)
{
    const auto pid = ParseNumber<unsigned long>(text);
    if (!pid || *pid == 0) {
        return std::nullopt;
    }
    return pid;
}

bool StatShowsEnded(std::string_view stat)
{
    // "pid (name) state ...": the name may hold blanks and parentheses, so look after the last
    // closing parenthesis.
    const auto close = stat.rfind(')');
    if (close == std::string_view::npos || close + 2 >= stat.size()) {
        return false;
    }
    const char state = stat[close + 2];
    return state == 'Z' || state == 'X' || state == 'x';
}

} // namespace qarvel::bridge
