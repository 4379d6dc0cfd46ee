// What Qarvel refuses before a compression that cannot work, and what it tells when a tool it
// started has ended, against the texts the driven tests spell out.

#include "Fakes.h"
#include "tests/e2e/ExpectedTexts.h"

#include <gtest/gtest.h>

namespace qarvel::test {
namespace {

namespace expected = drive::expected;
constexpr Tick T = Tick::Ticked;
constexpr Tick U = Tick::Unticked;
constexpr TaskNumber First = 4242; // the fake host's first task number
const std::wstring Image = L"D:\\rips\\game.iso";
const std::wstring Tools = L"C:\\tools";

struct RefuseCase {
    const char *what;
    const wchar_t *selected;
    Tick check2; // CHD ticked otherwise
    std::set<std::wstring> files;
    std::set<std::wstring> folders;
    Log log;
};

TEST(OnCompress, RefusesARunThatCannotWorkBeforeAsking)
{
    const std::wstring chdThere = L"C:\\tools\\NEW.CHD", zsoThere = L"C:\\tools\\NEW.ZSO";
    const std::wstring iso = L"label File: game.iso";
    // clang-format off
    const RefuseCase cases[] = {
        {"NEW.CHD there as a file", L"game.iso", U, {chdThere}, {}, {iso, L"path " + chdThere, L"box 48 " + expected::OutputExists(L"NEW.CHD", Tools, L"chdman")}},
        {"NEW.ZSO there as a folder", L"game.iso", T, {}, {zsoThere}, {iso, L"path " + zsoThere, L"box 48 " + expected::OutputExists(L"NEW.ZSO", Tools, L"ziso.py")}},
        {"a cue sheet for ZSO", L"game.cue", T, {}, {}, {L"label File: game.cue", L"box 48 " + expected::CueForZso(L"game.cue")}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.selected, c.check2 == T ? U : T, c.check2);
        rig.host.files = c.files;
        rig.host.folders = c.folders;
        rig.actions.OnCompress();
        EXPECT_EQ(rig.log, c.log);
        EXPECT_EQ(rig.host.clipboard, L"(untouched)");
    }
}

TEST(OnCompress, RefusesASecondRunForAnOutputUntilTheFirstHasEnded)
{
    Rig rig(L"game.iso", T);
    rig.actions.OnCompress();
    rig.form.selectedFile = L"other.iso";
    rig.actions.OnCompress();
    EXPECT_EQ(rig.log.back(), L"box 48 " + expected::StillRunning(L"chdman", L"NEW.CHD", Image));
    EXPECT_EQ(rig.host.launched.size(), 1U);
    // The other format has an output of its own.
    rig.form.check1 = U;
    rig.form.check2 = T;
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched.size(), 2U);
    // Once the run has ended, its output can be made again.
    rig.actions.OnTaskEnded(First, 0);
    rig.form.check1 = T;
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched.size(), 3U);
}

struct EndCase {
    const expected::Format &format;
    ExitCode code;
    std::wstring box; // empty: none
};

TEST(OnTaskEnded, TellsHowACompressionEndedOnceAndFlashes)
{
    const auto failed = [](const expected::Format &format, const wchar_t *code) {
        return expected::ToolFailed(format, code, Image, Tools);
    };
    const EndCase cases[] = {
        {expected::Chd, 0, L""},
        {expected::Zso, 0, L""},
        {expected::Chd, NotRecognized,
         expected::ToolNotFound(L"chdman", L"NEW.CHD", L"chdman.exe")},
        {expected::Zso, NotRecognized, expected::ToolNotFound(L"ziso.py", L"NEW.ZSO", L"ziso.py")},
        {expected::Chd, 1, failed(expected::Chd, L"1")},
        // Its console window closed.
        {expected::Zso, 0xC000013A, failed(expected::Zso, L"0xC000013A")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.format.name << " " << c.code);
        Rig rig(L"game.iso", c.format.IsChd() ? T : U, c.format.IsChd() ? U : T);
        rig.actions.OnCompress();
        rig.log.clear();
        rig.actions.OnTaskEnded(First, c.code);
        const Log told = c.box.empty() ? Log{L"flash"} : Log{L"flash", L"box 48 " + c.box};
        EXPECT_EQ(rig.log, told);
        rig.log.clear();
        rig.actions.OnTaskEnded(First, c.code); // told once
        rig.actions.OnTaskEnded(First + 1, 1);  // never started
        EXPECT_TRUE(rig.log.empty());
    }
}

TEST(ExitCodeText, DecimalUpTo0xFFFFThenHex)
{
    const std::pair<ExitCode, std::wstring> cases[] = {
        {0, L"exit code 0"},
        {65535, L"exit code 65535"},
        {65536, L"exit code 0x00010000"},
        {0xC000013A, L"exit code 0xC000013A"},
    };
    for (const auto &[code, text] : cases) {
        EXPECT_EQ(ExitCodeText(code), text);
    }
}

struct HelperCase {
    const char *what;
    void (ImageActions::*click)();
    ExitCode code;
    std::wstring box; // empty: none
};

TEST(OnTaskEnded, TellsOnlyTheFailuresOfTheConverterAndTheInstaller)
{
    const HelperCase cases[] = {
        {"converter not found", &ImageActions::OnConvert, NotRecognized,
         expected::ConverterNotFound(Tools)},
        {"converter failed", &ImageActions::OnConvert, 1, L""},
        {"pip not found", &ImageActions::OnLz4LabelClicked, NotRecognized, expected::PipNotFound},
        {"pip failed", &ImageActions::OnLz4LabelClicked, 1, expected::PipFailed(L"1")},
        {"pip done", &ImageActions::OnLz4LabelClicked, 0, L""},
        {"the site is not watched", &ImageActions::OnSiteLabelClicked, NotRecognized, L""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        (rig.actions.*c.click)();
        rig.log.clear();
        rig.actions.OnTaskEnded(First, c.code);
        const Log told = c.box.empty() ? Log{} : Log{L"box 48 " + c.box};
        EXPECT_EQ(rig.log, told);
    }
}

TEST(OnTaskEnded, KeepsWatchesForTheCompressionsWhateverTheInstallerTakes)
{
    Rig rig(L"game.iso", T);
    const TaskNumber helpers = 70;
    for (TaskNumber n = 0; n < helpers; ++n) {
        rig.actions.OnLz4LabelClicked();
    }
    rig.actions.OnCompress();
    rig.log.clear();
    rig.actions.OnTaskEnded(First + MostWatchedTasks - 3, 1); // the last one watched
    EXPECT_EQ(rig.log.size(), 1U);
    rig.actions.OnTaskEnded(First + MostWatchedTasks - 2, 1); // started unwatched
    EXPECT_EQ(rig.log.size(), 1U);
    rig.actions.OnTaskEnded(First + helpers, NotRecognized); // the compression
    EXPECT_EQ(rig.log.size(), 3U);
}

} // namespace
} // namespace qarvel::test
