#include "ShellRun.h"

#include "win32/ErrorText.h"
#include "win32/GrowBuffer.h"
#include "win32/Handles.h"

#include <windows.h>

#include <charconv>

namespace qarvel::bridge {

namespace {

constexpr DWORD PollMilliseconds = 50;

bool WriteNewFile(const std::wstring &path, const std::string &bytes)
{
    const win32::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

// The whole status line once the shell has written it; nothing before.
std::optional<std::string> ReadStatusLine(const std::wstring &path)
{
    const win32::UniqueFile file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char buffer[32];
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) || read == 0 ||
        buffer[read - 1] != '\n') {
        return std::nullopt;
    }
    return std::string(buffer, read - 1);
}

// The run script and the status file, removed however the run ends. The status file is the
// one GetTempFileNameW made, and keeps its name taken for the whole run: the script, named
// after it, removes itself as soon as it runs.
struct RunFiles {
    std::wstring script;
    std::wstring status;
    ~RunFiles()
    {
        ::DeleteFileW(script.c_str());
        ::DeleteFileW(status.c_str());
    }
};

// The text as one word for /bin/sh: in single quotes, a quote in it as '\''.
std::string ShellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + '\'';
}

} // namespace

ShellResult RunInShell(const WinePaths &wine, const std::string &unixFolder,
                       const std::vector<std::string> &command)
{
    const auto tempFolder =
        win32::GrowBuffer([](wchar_t *buffer, DWORD size) { return ::GetTempPathW(size, buffer); });
    std::wstring status(MAX_PATH, L'\0');
    if (!tempFolder || !::GetTempFileNameW(tempFolder->c_str(), L"qbr", 0, status.data())) {
        return {1, L"cannot make a temporary file: " + win32::DescribeError(::GetLastError())};
    }
    status.resize(status.find(L'\0'));
    const RunFiles files{status + L".sh", status};
    const auto unixStatus = wine.ToUnix(files.status);
    const auto shell = wine.ToWindows("/bin/sh");
    if (!unixStatus || !shell) {
        return {1, L"cannot map the temporary folder or /bin/sh for Wine"};
    }

    // The script removes itself at once (the shell reads on from the open file), so none is
    // left should this program be stopped.
    std::string text = "rm -f -- \"$0\"\ncd -- " + ShellQuote(unixFolder) + " &&";
    for (const auto &word : command) {
        text += ' ' + ShellQuote(word);
    }
    text += "\necho $? >" + ShellQuote(*unixStatus) + '\n';
    if (!WriteNewFile(files.script, text)) {
        return {1, L"cannot write the run script: " + win32::DescribeError(::GetLastError())};
    }

    // Started in the temporary folder, the shell finds the script by its name, which needs no
    // quoting on the command line.
    std::wstring commandLine = L"sh " + files.script.substr(files.script.rfind(L'\\') + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(shell->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          tempFolder->c_str(), &startup, &info)) {
        return {1, L"cannot start /bin/sh: " + win32::DescribeError(::GetLastError())};
    }
    const win32::UniqueProcess started(info); // Wine's handle to it cannot be waited on

    for (;;) {
        if (const auto line = ReadStatusLine(files.status)) {
            int code = 0;
            const auto [end, error] =
                std::from_chars(line->data(), line->data() + line->size(), code);
            if (error != std::errc{} || end != line->data() + line->size()) {
                return {1, L"cannot read the exit status the shell wrote"};
            }
            return {code, {}};
        }
        ::Sleep(PollMilliseconds);
    }
}

} // namespace qarvel::bridge
