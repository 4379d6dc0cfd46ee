// The portable part of the chdman bridge: which arguments are paths, shell quoting and the
// run script (both run through the real /bin/sh where there is one), status and /proc
// parsing, and UTF-8 chunking.

#include "ArgumentKinds.h"
#include "RunScript.h"
#include "ShellQuote.h"
#include "Utf8Chunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stop_token>
#include <sys/stat.h>
#include <thread>
#endif

namespace qarvel::bridge {
namespace {

using Kinds = std::vector<ArgumentKind>;
constexpr ArgumentKind W = ArgumentKind::Word;
constexpr ArgumentKind P = ArgumentKind::Path;

TEST(LooksLikeWindowsPath, KnowsDriveUncAndDevicePaths)
{
    const struct {
        const wchar_t *argument;
        bool path;
    } cases[] = {
        {L"C:\\tools\\NEW.CHD", true},
        {L"d:/rips/game.iso", true},
        {L"Z:\\", true},
        {L"\\\\server\\share\\x", true},
        {L"//server/share/x", true},
        {L"\\\\?\\C:\\x", true},
        {L"\\\\.\\C:\\x", true},
        {L"C:", false},
        {L"C:relative", false},
        {L"createcd", false},
        {L"1:\\x", false},
        {L"\\\\\\x", false},
        {L"\\single", false},
        {L"", false},
        {L"-i", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "argument \"" << std::wstring(c.argument) << "\"");
        EXPECT_EQ(LooksLikeWindowsPath(c.argument), c.path);
    }
}

TEST(ClassifyArguments, TakesFileOptionValuesAndFreeDrivePathsOnly)
{
    const struct {
        std::vector<std::wstring> arguments;
        Kinds kinds;
    } cases[] = {
        // The command line Qarvel composes.
        {{L"createcd", L"-i", L"D:\\rips\\game.iso", L"-o", L"C:\\tools\\NEW.CHD"},
         {W, W, P, W, P}},
        // Relative and bare names after a file option are paths all the same.
        {{L"createcd", L"-i", L"game.cue", L"-o", L"NEW.CHD", L"-f"}, {W, W, P, W, P, W}},
        {{L"--input", L"a", L"--output", L"b", L"-ip", L"c", L"--inputparent", L"d"},
         {W, P, W, P, W, P, W, P}},
        {{L"-op", L"a", L"--outputparent", L"b", L"-ob", L"c", L"--outputbin", L"d"},
         {W, P, W, P, W, P, W, P}},
        {{L"-id", L"a", L"--ident", L"b", L"-vf", L"c", L"--valuefile", L"d"},
         {W, P, W, P, W, P, W, P}},
        // Values of the other options stay words even when they look like paths.
        {{L"addmeta", L"-vt", L"C:\\not\\a\\file", L"-t", L"C:/x"}, {W, W, W, W, W}},
        {{L"-c", L"cdlz,cdzl", L"-hs", L"19584", L"-np", L"2"}, {W, W, W, W, W, W}},
        // A value starting with "-" is the next option, as chdman reads it.
        {{L"-i", L"-f", L"-o", L"--force"}, {W, W, W, W}},
        {{L"-o", L"-", L"x"}, {W, P, W}},
        // Free-standing arguments are paths only when they look like one.
        {{L"info", L"C:/x.chd", L"\\\\srv\\share\\y.chd", L"plain", L"C:"}, {W, P, P, W, W}},
        // Options are case-sensitive: -I is no option, so its neighbour is judged alone.
        {{L"-I", L"game.iso", L"-I", L"D:\\game.iso"}, {W, W, W, P}},
        // An option at the end has no value; nothing after it to take.
        {{L"createcd", L"-o"}, {W, W}},
        {{}, {}},
    };
    for (const auto &c : cases) {
        std::wstring joined;
        for (const auto &a : c.arguments) {
            joined += L"[" + a + L"]";
        }
        SCOPED_TRACE(testing::Message() << "arguments " << joined);
        EXPECT_EQ(ClassifyArguments(c.arguments), c.kinds);
    }
}

TEST(ShellQuote, WrapsInSingleQuotesAndEscapesOnlyThem)
{
    EXPECT_EQ(ShellQuote(""), "''");
    EXPECT_EQ(ShellQuote("a b"), "'a b'");
    EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuote("$x `y` \\z \"w\""), "'$x `y` \\z \"w\"'");
}

TEST(ParseRunStatus, ReadsCodesAndTheMissingToolWordOnly)
{
    const struct {
        const char *text;
        bool valid;
        RunStatus::Kind kind;
        int code;
    } cases[] = {
        {"0\n", true, RunStatus::Kind::Exited, 0},
        {"3\n", true, RunStatus::Kind::Exited, 3},
        {"255", true, RunStatus::Kind::Exited, 255},
        {"127\r\n", true, RunStatus::Kind::Exited, 127},
        {"missing\n", true, RunStatus::Kind::ToolMissing, 0},
        {"", false, {}, 0},
        {"\n", false, {}, 0},
        {"3x\n", false, {}, 0},
        {"-1\n", false, {}, 0},
        {" 3\n", false, {}, 0},
        {"missing tool\n", false, {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "status \"" << c.text << "\"");
        const auto status = ParseRunStatus(c.text);
        ASSERT_EQ(status.has_value(), c.valid);
        if (status) {
            EXPECT_EQ(status->kind, c.kind);
            EXPECT_EQ(status->code, c.code);
        }
    }
}

TEST(ParsePid, AcceptsPositiveNumbersOnly)
{
    EXPECT_EQ(ParsePid("4242\n"), 4242UL);
    EXPECT_EQ(ParsePid("1"), 1UL);
    EXPECT_EQ(ParsePid("0\n"), std::nullopt);
    EXPECT_EQ(ParsePid(""), std::nullopt);
    EXPECT_EQ(ParsePid("42a"), std::nullopt);
}

TEST(StatShowsEnded, ReadsTheStateAfterTheLastParenthesis)
{
    EXPECT_FALSE(StatShowsEnded("12 (sh) S 1 12 12 0 -1"));
    EXPECT_FALSE(StatShowsEnded("12 (sh) R 1"));
    EXPECT_TRUE(StatShowsEnded("12 (sh) Z 1 12 12 0 -1"));
    EXPECT_TRUE(StatShowsEnded("12 (sh) X 1"));
    EXPECT_TRUE(StatShowsEnded("12 (odd) S name) Z 1"));
    EXPECT_FALSE(StatShowsEnded("12 (Z) S 1"));
    EXPECT_FALSE(StatShowsEnded("garbage"));
    EXPECT_FALSE(StatShowsEnded("12 (sh)"));
}

TEST(CompleteUtf8Length, HoldsBackOnlyAnUnfinishedLastSequence)
{
    const struct {
        const char *bytes;
        std::size_t complete;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xC3\xBC", 2},
        {"\xC3", 0},
        {"a\xC3", 1},
        {"a\xE6\x97", 1},
        {"\xE6\x97\xA5", 3},
        {"x\xF0\x9F\x98", 1},
        {"\xF0\x9F\x98\x80", 4},
        {"\xF0\x9F\x98\x80\xC3", 4},
        {"50%\r\xC3\xBC\n", 7},
        // Stray continuation bytes and bytes that start nothing are passed on.
        {"\x80\x80", 2},
        {"a\xFF", 2},
        {"\x80\x80\x80\x80\x80", 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "bytes of \"" << c.bytes << "\"");
        EXPECT_EQ(CompleteUtf8Length(c.bytes), c.complete);
    }
}

#ifndef _WIN32

// Texts that are special to the shell in every way quoting can get wrong.
const std::vector<std::string> &AwkwardTexts()
{
    static const std::vector<std::string> texts = {
        "",
        "plain",
        "two  blanks",
        "it's",
        "''",
        "'",
        "a'\\''b",
        "$HOME",
        "${x:-y}",
        "`id`",
        "$(id)",
        "back\\slash\\",
        "\"quoted\"",
        "tab\tand\nnewline",
        "*?[a]",
        "~",
        "!x",
        "a;b|c&d>e<f",
        "-o",
        "\xC3\xBC \xC3\x9F \xE6\x97\xA5\xE6\x9C\xAC",
        "trailing\\",
    };
    return texts;
}

// A scratch folder whose own name needs quoting, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bridge test it's $x XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

int RunSh(const std::filesystem::path &script)
{
    const int result = std::system(("sh " + ShellQuote(script.string())).c_str());
    return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
}

std::vector<std::string> SplitAtNul(const std::string &text)
{
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (auto nul = text.find('\0'); nul != std::string::npos; nul = text.find('\0', start)) {
        pieces.push_back(text.substr(start, nul - start));
        start = nul + 1;
    }
    return pieces;
}

TEST(ShellQuote, EveryAwkwardTextReachesTheProgramAsOneUnchangedArgument)
{
    ScratchFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    std::string script = "printf '%s\\0'";
    for (const auto &text : AwkwardTexts()) {
        script += ' ' + ShellQuote(text);
    }
    script += " >" + ShellQuote((folder.Path() / "argv").string()) + '\n';
    WriteFile(folder.Path() / "quote.sh", script);
    ASSERT_EQ(RunSh(folder.Path() / "quote.sh"), 0);
    EXPECT_EQ(SplitAtNul(ReadFile(folder.Path() / "argv")), AwkwardTexts());
}

// A stand-in tool: records its arguments, writes to both streams, exits with a given code.
void WriteFakeTool(const std::filesystem::path &path, int exitCode)
{
    WriteFile(path, "#!/bin/sh\n"
                    "printf '%s\\0' \"$@\" >\"$(dirname \"$0\")/argv\"\n"
                    "echo to stdout\n"
                    "echo to stderr >&2\n"
                    "exit " +
                        std::to_string(exitCode) + "\n");
    ::chmod(path.c_str(), 0755);
}

TEST(ComposeRunScript, RunsTheToolWithItsArgumentsAndLeavesOutputAndStatus)
{
    for (const int exitCode : {0, 3}) {
        SCOPED_TRACE(testing::Message() << "exit code " << exitCode);
        ScratchFolder folder;
        ASSERT_FALSE(folder.Path().empty());
        const auto tool = folder.Path() / "fake chdman 'ü'";
        WriteFakeTool(tool, exitCode);
        const RunRequest request{folder.Path().string(), tool.string(), AwkwardTexts()};
        WriteFile(folder.Path() / files::Script, ComposeRunScript(request));

        EXPECT_EQ(RunSh(folder.Path() / files::Script), 0);
        EXPECT_EQ(SplitAtNul(ReadFile(folder.Path() / "argv")), AwkwardTexts());
        EXPECT_EQ(ReadFile(folder.Path() / files::Output), "to stdout\n");
        EXPECT_EQ(ReadFile(folder.Path() / files::Errors), "to stderr\n");
        const auto status = ParseRunStatus(ReadFile(folder.Path() / files::Status));
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(status->kind, RunStatus::Kind::Exited);
        EXPECT_EQ(status->code, exitCode);
        EXPECT_TRUE(ParsePid(ReadFile(folder.Path() / files::ShellPid)).has_value());
        // Both were written beside and renamed: no half-written file stays.
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "status.tmp"));
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "shell.pid.tmp"));
    }
}

TEST(ComposeRunScript, ReportsAToolThatIsMissingOrNotExecutable)
{
    ScratchFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    WriteFile(folder.Path() / "not executable", "#!/bin/sh\nexit 0\n");
    for (const auto *name : {"absent", "not executable"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(folder.Path() / files::Status);
        const RunRequest request{folder.Path().string(), (folder.Path() / name).string(), {"x"}};
        std::filesystem::remove(folder.Path() / files::Script);
        WriteFile(folder.Path() / files::Script, ComposeRunScript(request));
        EXPECT_EQ(RunSh(folder.Path() / files::Script), 0);
        const auto status = ParseRunStatus(ReadFile(folder.Path() / files::Status));
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(status->kind, RunStatus::Kind::ToolMissing);
    }
}

// The tool stand-in for the watchdog: runs until TERM, which it notes beside the folder.
void WriteLongTool(const std::filesystem::path &path, const std::filesystem::path &termNote,
                   int seconds)
{
    WriteFile(path, "#!/bin/sh\n"
                    "note=" +
                        ShellQuote(termNote.string()) +
                        "\n"
                        "trap 'kill \"$s\"; echo TERM >\"$note\"; exit 143' TERM\n"
                        "sleep " +
                        std::to_string(seconds) +
                        " &\n"
                        "s=$!\n"
                        "wait \"$s\"\n");
    ::chmod(path.c_str(), 0755);
}

// Beats on the heartbeat file, as the bridge does, while it lives.
class FakeHeartbeat {
public:
    explicit FakeHeartbeat(std::filesystem::path path)
        : thread_([path = std::move(path)](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  WriteFile(path, "*");
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              }
          })
    {
    }

private:
    std::jthread thread_;
};

bool GoneWithin(const std::filesystem::path &path, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

TEST(ComposeRunScript, WatchdogStopsTheToolAndClearsUpOnlyWhenTheBridgeStopsBeating)
{
    const struct {
        const char *what;
        int toolSeconds;
        bool beating;
        bool stopped;
    } cases[] = {
        {"bridge gone, tool still running", 30, false, true},
        {"bridge gone, tool ends by itself", 0, false, false},
        {"bridge alive", 2, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder outer;
        ASSERT_FALSE(outer.Path().empty());
        const auto folder = outer.Path() / "run it's";
        std::filesystem::create_directory(folder);
        WriteLongTool(outer.Path() / "tool", outer.Path() / "term", c.toolSeconds);
        RunRequest request{folder.string(), (outer.Path() / "tool").string(), {}};
        request.watchSeconds = 1;
        WriteFile(folder / files::Script, ComposeRunScript(request));

        std::optional<FakeHeartbeat> heartbeat;
        if (c.beating) {
            heartbeat.emplace(folder / files::Heartbeat);
        }
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunSh(folder / files::Script), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(std::filesystem::exists(outer.Path() / "term"), c.stopped);
        if (c.beating) {
            EXPECT_EQ(ReadFile(folder / files::Status), "0\n");
            // The bridge still beats: the folder is its to remove.
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            EXPECT_TRUE(std::filesystem::exists(folder));
        } else {
            EXPECT_TRUE(GoneWithin(folder, std::chrono::seconds(5)));
        }
    }
}

#endif

} // namespace
} // namespace qarvel::bridge
