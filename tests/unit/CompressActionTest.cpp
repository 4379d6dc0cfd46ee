// The compress button from selection to report, against fakes that log every call in order.

#include "Fakes.h"
#include "tests/e2e/ExpectedTexts.h"

#include <gtest/gtest.h>

namespace qarvel::test {
namespace {

const std::wstring ChdLine =
    L"cmd.exe /c chdman createcd -i \"D:\\rips\\game.iso\" -o \"C:\\tools\\NEW.CHD\"";
const std::wstring ZsoLine =
    L"cmd.exe /c ziso.py -c 1 \"D:\\rips\\game.iso\" \"C:\\tools\\NEW.ZSO\"";
namespace expected = drive::expected;
const std::wstring Refused = L"box Critical " + expected::NotAnImage;
constexpr Tick T = Tick::Ticked;
constexpr Tick U = Tick::Unticked;

TEST(CaptureSelection, FillsLabelPiecesAndPathFromTheListedDirectory)
{
    Rig rig;
    rig.form.selectedFile = L"game.cue";
    rig.actions.CaptureSelection();
    EXPECT_EQ(rig.form.fileLabel, L"File: game.cue");
    EXPECT_EQ(rig.actions.SelectedName(), L"game.cue");
    EXPECT_EQ(rig.actions.NamePieces(), (std::vector<std::wstring>{L"game", L"cue"}));
    EXPECT_EQ(rig.actions.SelectedPath(), L"D:\\rips\\game.cue");
    EXPECT_TRUE(rig.actions.IsImageName());

    rig.form.selectedFile = L"game.iso";
    rig.form.fileListDirectory = L"C:\\";
    rig.actions.CaptureSelection();
    EXPECT_EQ(rig.actions.SelectedPath(), L"C:\\\\game.iso");
}

// No box follows the start: "created!" comes when the tool has ended with its output made.
TEST(OnCompress, ChdYesRunsLabelPromptLaunchInOrderAndLeavesTheClipboard)
{
    Rig rig(L"game.iso", T);
    rig.actions.OnCompress();
    EXPECT_EQ(rig.log,
              (Log{L"label File: game.iso", L"box YesNo Proceed to compress game.iso with CHD?",
                   L"launch minimised " + ChdLine}));
    EXPECT_EQ(rig.host.clipboard, L"(untouched)");
}

TEST(OnCompress, ZsoYesCopiesTheExactLineBeforeLaunching)
{
    Rig rig(L"game.iso", U, T);
    rig.actions.OnCompress();
    EXPECT_EQ(rig.log,
              (Log{L"label File: game.iso", L"box YesNo Proceed to compress game.iso with ZSO?",
                   L"clipboard " + ZsoLine, L"launch minimised " + ZsoLine}));
    EXPECT_EQ(rig.host.clipboard, ZsoLine);
}

TEST(OnCompress, BothTickedTakesChd)
{
    Rig rig(L"game.cue", T, T);
    rig.host.texts[L"D:\\rips\\game.cue"] = {TextFile::Status::Read, L"FILE game.bin BINARY",
                                             false};
    rig.host.files.insert(L"D:\\rips\\game.bin");
    rig.actions.OnCompress();
    ASSERT_EQ(rig.host.launched.size(), 1U);
    EXPECT_EQ(rig.host.launched[0],
              L"cmd.exe /c chdman createcd -i \"D:\\rips\\game.cue\" -o \"C:\\tools\\NEW.CHD\"");
}

struct StopCase {
    const char *what;
    const wchar_t *selected;
    Tick chd;
    Tick zso;
    Answer answer;
    Log log;
};

TEST(OnCompress, StopsWithoutLaunchingWhereItMust)
{
    constexpr Answer Yes = Answer::AnswerYes;
    constexpr Answer No = Answer::AnswerNo;
    const auto asked = [](const std::wstring &format) {
        return Log{L"label File: game.iso",
                   L"box YesNo Proceed to compress game.iso with " + format + L"?"};
    };
    const StopCase cases[] = {
        {"upper-case extension", L"GAME.ISO", T, U, Yes, {L"label File: GAME.ISO", Refused}},
        {"trailing dot", L"game.iso.", T, U, Yes, {L"label File: game.iso.", Refused}},
        {"nothing selected", L"", T, U, Yes, {L"label File: ", Refused}},
        {"no box ticked", L"game.iso", U, U, Yes, {L"label File: game.iso"}},
        {"No to CHD", L"game.iso", T, U, No, asked(L"CHD")},
        // The clipboard is touched only after Yes.
        {"No to ZSO", L"game.iso", U, T, No, asked(L"ZSO")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.selected, c.chd, c.zso);
        rig.host.answer = c.answer;
        rig.actions.OnCompress();
        EXPECT_EQ(rig.log, c.log);
        EXPECT_TRUE(rig.host.launched.empty());
    }
}

TEST(OnCompress, AFailedLaunchIsNeverReportedAsCreated)
{
    for (const Tick chd : {T, U}) {
        Rig rig(L"game.iso", chd, T);
        rig.host.task = NoTask;
        rig.actions.OnCompress();
        EXPECT_EQ(rig.log.back(), L"box Critical " + expected::LaunchFailed);
        for (const auto &entry : rig.log) {
            EXPECT_EQ(entry.find(L"created!"), std::wstring::npos) << entry;
        }
    }
}

TEST(OnCompress, AHeldClipboardStillLaunchesAndSaysTheLineWasNotCopied)
{
    Rig rig(L"game.iso", U, T);
    rig.host.clipboardWorks = false;
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched, (std::vector<std::wstring>{ZsoLine}));
    EXPECT_EQ(rig.log.back(), L"box OkOnly " + expected::ClipboardFailed);
}

TEST(OnCompress, RefusesAPathTheInterpreterWouldChange)
{
    for (const Tick chd : {T, U}) {
        Rig rig(L"100% a%PATH%b.iso", chd, T);
        rig.actions.OnCompress();
        EXPECT_EQ(rig.log,
                  (Log{L"label File: 100% a%PATH%b.iso",
                       L"box Critical " +
                           expected::Expansion(L"%PATH%", L"D:\\rips\\100% a%PATH%b.iso")}));
        EXPECT_TRUE(rig.host.launched.empty());
    }
    // A lone percent sign, or an unknown name between two, reaches the tool unchanged.
    Rig rig(L"100% %done%.iso", T);
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched.size(), 1U);
}

TEST(OnCompress, RefusesASelectedFileThatIsGone)
{
    Rig rig(L"game.iso", T);
    rig.form.selectionGone = true;
    rig.actions.OnCompress();
    EXPECT_EQ(rig.log.back(), L"box Critical " + expected::FileGone(L"D:\\rips\\game.iso"));
    EXPECT_TRUE(rig.host.launched.empty());
}

TEST(OnCompress, RecapturesOnEveryPressAndLaunchesOncePerPress)
{
    Rig rig(L"game.iso", T);
    rig.actions.OnCompress();
    rig.form.selectedFile = L"notes.txt";
    rig.actions.OnCompress();
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched.size(), 1U);
    EXPECT_EQ(rig.actions.SelectedName(), L"notes.txt");
    EXPECT_EQ(rig.form.fileLabel, L"File: notes.txt");
}

} // namespace
} // namespace qarvel::test
