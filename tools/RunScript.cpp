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

// A line that writes the value beside the file and renames it, so a reader sees the whole
// value or nothing.
std::string WriteAtOnce(const RunRequest &request, std::string_view value, std::string_view name)
{
    const std::string temp = InFolder(request, std::string(name) + ".tmp");
    return "echo " + std::string(value) + " >" + temp + " && mv " + temp + ' ' +
           InFolder(request, name) + '\n';
}

} // namespace

std::string ComposeRunScript(const RunRequest &request)
{
    const std::string mark = InFolder(request, files::WatchMark);
    const std::string heartbeat = InFolder(request, files::Heartbeat);
    const std::string seconds = std::to_string(request.watchSeconds);
    std::string script = "# Written by the chdman bridge: runs the tool once and leaves its exit "
                         "status.\n";
    script += WriteAtOnce(request, "$$", files::ShellPid);
    script += "tool=" + ShellQuote(request.tool) + '\n';
    script += "if [ -f \"$tool\" ] && [ -x \"$tool\" ]; then\n";
    script += "  \"$tool\"";
    for (const auto &argument : request.arguments) {
        script += ' ';
        script += ShellQuote(argument);
    }
    script += " </dev/null >" + InFolder(request, files::Output) + " 2>" +
              InFolder(request, files::Errors) + " &\n";
    script += "  tool_pid=$!\n";
    // The watchdog: stops the tool once the bridge has stopped beating.
    script += "  (\n";
    script += "    while :; do\n";
    script += "      : >" + mark + '\n';
    script += "      sleep " + seconds + '\n';
    script += "      [ " + heartbeat + " -nt " + mark + " ] || break\n";
    script += "    done\n";
    script += "    kill -TERM \"$tool_pid\"\n";
    script += "  ) </dev/null >/dev/null 2>&1 &\n";
    script += "  watchdog=$!\n";
    script += "  wait \"$tool_pid\"\n";
    script += "  status=$?\n";
    script += "  kill \"$watchdog\" 2>/dev/null\n";
    script += "else\n";
    script += "  status=" + std::string(MissingToolStatus) + '\n';
    script += "fi\n";
    script += WriteAtOnce(request, "\"$status\"", files::Status);
    // The bridge reads the status and removes the folder; once it has stopped beating without
    // doing so, nobody else will.
    script += "(\n";
    script += "  sleep " + seconds + '\n';
    script += "  [ " + heartbeat + " -nt " + InFolder(request, files::Status) + " ] || rm -rf " +
              ShellQuote(request.folder) + '\n';
    script += ") </dev/null >/dev/null 2>&1 &\n";
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

std::optional<unsigned long> ParsePid(std::string_view text)
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
