// What Qarvel refuses before a compression that cannot work, and what it tells when a tool it
// started has ended. The texts are spelled out here, so that a wrong text fails.

#include "Fakes.h"

#include <gtest/gtest.h>

namespace qarvel::test {
namespace {

constexpr Tick T = Tick::Ticked;
constexpr Tick U = Tick::Unticked;
constexpr TaskNumber First = 4242; // the fake host's first task number

const std::wstring ChdLine =
    L"cmd.exe /c chdman createcd -i \"D:\\rips\\game.iso\" -o \"C:\\tools\\NEW.CHD\"";
const std::wstring ZsoLine =
    L"cmd.exe /c ziso.py -c 1 \"D:\\rips\\game.iso\" \"C:\\tools\\NEW.ZSO\"";
const std::wstring NotFoundEnd = L" must lie beside Qarvel.exe, and Qarvel must be started from "
                                 L"its own folder (as Explorer and shortcuts do).";
const std::wstring OwnMessage =
    L"'s own message, run this command line in a command prompt opened in Qarvel's folder "
    L"(Ctrl+C copies the text of this box):\r\n\r\n";

struct RefuseCase {
    const char *what;
    const wchar_t *selected;
    Tick check1;
    Tick check2;
    std::set<std::wstring> files;
    std::set<std::wstring> folders;
    Log log;
};

TEST(OnCompress, RefusesARunThatCannotWorkBeforeAsking)
{
    const RefuseCase cases[] = {
        {"NEW.CHD there as a file",
         L"game.iso",
         T,
         U,
         {L"C:\\tools\\NEW.CHD"},
         {},
         {L"label File: game.iso", L"path C:\\tools\\NEW.CHD",
          L"box 48 There is already a NEW.CHD in C:\\tools.\r\n\r\nchdman will not overwrite it: "
          L"move or rename it, then press iSO again."}},
        {"NEW.ZSO there as a folder",
         L"game.iso",
         U,
         T,
         {},
         {L"C:\\tools\\NEW.ZSO"},
         {L"label File: game.iso", L"path C:\\tools\\NEW.ZSO",
          L"box 48 There is already a NEW.ZSO in C:\\tools.\r\n\r\nziso.py will not overwrite "
          L"it: move or rename it, then press iSO again."}},
        {"a cue sheet for ZSO",
         L"game.cue",
         U,
         T,
         {},
         {},
         {L"label File: game.cue",
          L"box 48 game.cue is a cue sheet: it only lists the tracks of a disc. A ZSO is made "
          L"from the .iso image itself; select the .iso file, or tick CHD to compress the disc "
          L"through its cue sheet."}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.selected, c.check1, c.check2);
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
    EXPECT_EQ(rig.log.back(), L"box 48 chdman is still making NEW.CHD from D:\\rips\\game.iso."
                              L"\r\n\r\nWait until it has ended, then press iSO again.");
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
    const char *what;
    Tick check1;
    ExitCode code;
    std::wstring box; // empty: none
};

TEST(OnTaskEnded, TellsHowACompressionEndedOnceAndFlashes)
{
    const EndCase cases[] = {
        {"CHD made", T, 0, L""},
        {"ZSO made", U, 0, L""},
        {"chdman not found", T, NotRecognized,
         L"chdman was not found, so NEW.CHD was not made.\r\n\r\nchdman.exe" + NotFoundEnd},
        {"ziso.py not found", U, NotRecognized,
         L"ziso.py was not found, so NEW.ZSO was not made.\r\n\r\nziso.py" + NotFoundEnd},
        {"chdman failed", T, 1,
         L"chdman ended with exit code 1 while making NEW.CHD from D:\\rips\\game.iso; NEW.CHD "
         L"is missing or incomplete.\r\n\r\nTo read chdman" +
             OwnMessage + ChdLine},
        {"ziso.py's window closed", U, 0xC000013A,
         L"ziso.py ended with exit code 0xC000013A while making NEW.ZSO from "
         L"D:\\rips\\game.iso; NEW.ZSO is missing or incomplete.\r\n\r\nTo read ziso.py" +
             OwnMessage + ZsoLine +
             L"\r\n\r\nThe command line was also put on the clipboard when the compression "
             L"started."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(L"game.iso", c.check1, c.check1 == T ? U : T);
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
         L"bin2iso.exe was not found beside Qarvel.exe in C:\\tools, so the converter did not "
         L"start."},
        {"converter failed", &ImageActions::OnConvert, 1, L""},
        {"pip not found", &ImageActions::OnLz4LabelClicked, NotRecognized,
         L"pip was not found, so lz4 was not installed: Python is not installed, or its folder "
         L"is not on the search path.\r\n\r\nRun py -m pip install lz4 in a command prompt "
         L"instead."},
        {"pip failed", &ImageActions::OnLz4LabelClicked, 1,
         L"pip install lz4 ended with exit code 1: lz4 may not be installed.\r\n\r\nRun py -m "
         L"pip install lz4 in a command prompt to see why and to try again."},
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
