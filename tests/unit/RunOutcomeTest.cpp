// What Qarvel refuses before a compression that cannot work, and what it tells when a tool it
// started has ended, against the texts the driven tests spell out.

#include "actions/Texts.h"
#include "Fakes.h"
#include "tests/e2e/ExpectedTexts.h"

#include <gtest/gtest.h>

#include <optional>

namespace qarvel::test {
namespace {

namespace expected = drive::expected;
constexpr Tick T = Tick::Ticked;
constexpr Tick U = Tick::Unticked;
constexpr TaskNumber First = 4242; // the fake host's first task number
const std::wstring Image = L"D:\\rips\\game.iso";
const std::wstring Tools = L"C:\\tools";
const std::wstring NewChd = L"C:\\tools\\NEW.CHD";
const std::wstring NewZso = L"C:\\tools\\NEW.ZSO";
const std::wstring Cue = L"D:\\rips\\game.cue";
constexpr TextFile::Status Read = TextFile::Status::Read;
const std::wstring NotPythonEnd =
    L"\r\n\r\nMake Python the program for .py files: right-click a .py file, choose Open with, "
    L"then Choose another app, pick Python and tick \"Always use this app to open .py files\"; or "
    L"run the Python installer again with \"Associate files with Python\" ticked. Then press iSO "
    L"again.";
std::wstring PythonGetsNoArguments(const std::wstring &command)
{
    return L"Files ending in .py open with this command on this computer, which passes a script "
           L"none of the words after its name:\r\n\r\n" +
           command +
           L"\r\n\r\nziso.py would run without the image it is to compress. Run the Python "
           L"installer again with \"Associate files with Python\" ticked, or make Python's "
           L"launcher py.exe the program for .py files (right-click a .py file, Open with), then "
           L"press iSO again.";
}

struct RefuseCase {
    const char *what;
    const wchar_t *selected;
    Tick zso; // CHD ticked otherwise
    std::function<void(drive::FakeHost &)> lay;
    std::wstring box; // empty: asked, not refused
};

TEST(OnCompress, RefusesARunThatCannotWorkBeforeAskingInTheOrderTheUserFixesThem)
{
    using Host = drive::FakeHost;
    const auto empty = [](Host &h) { h.sizes[Image] = 0; };
    const auto readOnly = [](Host &h) { h.readOnlyFolders = {Tools}; };
    const auto noPython = [](Host &h) { h.opener = {}; };
    const auto chdThere = [](Host &h) { h.files = {NewChd}; };
    // clang-format off
    const RefuseCase cases[] = {
        {"NEW.CHD there as a file", L"game.iso", U, chdThere, expected::OutputExists(L"NEW.CHD", Tools, L"chdman")},
        {"NEW.ZSO there as a folder", L"game.iso", T, [](Host &h) { h.folders = {NewZso}; }, expected::OutputExists(L"NEW.ZSO", Tools, L"ziso.py")},
        {"NEW.CHD still written by another", L"game.iso", U, [](Host &h) { h.files = h.inUse = {NewChd}; }, expected::OutputInUse(L"NEW.CHD", Tools)},
        {"a cue sheet for ZSO", L"game.cue", T, empty, expected::CueForZso(L"game.cue")},
        {"an empty image", L"game.iso", U, [&](Host &h) { empty(h); readOnly(h); }, expected::EmptyImage(L"game.iso")},
        {"a folder Qarvel cannot write to", L"game.iso", T, [&](Host &h) { readOnly(h); noPython(h); chdThere(h); }, expected::FolderNotWritable(L"ziso.py", L"NEW.ZSO", Tools)},
        {"nothing opens .py files", L"game.iso", T, [&](Host &h) { noPython(h); h.files = {NewZso}; }, expected::NoPython},
        {"CHD needs no Python", L"game.iso", U, noPython, L""},
        {"an editor opens .py files", L"game.iso", T, [](Host &h) { h.opener.command = L"C:\\Program Files\\Code\\Code.exe \"%1\""; }, expected::NotPython(L"Code.exe") + NotPythonEnd},
        {"Python without %*", L"game.iso", T, [](Host &h) { h.opener.command = L"\"C:\\Py\\python.exe\" \"%1\""; }, PythonGetsNoArguments(L"\"C:\\Py\\python.exe\" \"%1\"")},
        {"a packaged opener", L"game.iso", T, [](Host &h) { h.opener = {true, true, L""}; }, expected::PackagedPython},
        {"a script that runs itself", L"game.iso", T, [](Host &h) { h.opener.command = L"\"%1\" %*"; }, L""},
        {"a cue sheet naming a missing file", L"game.cue", U, [](Host &h) { h.texts[Cue] = {Read, L" file \"game (Track 1).bin\" BINARY\r\nFILE \"gone.bin\" BINARY", false}; h.files.insert(L"D:\\rips\\game (Track 1).bin"); }, expected::CueFileMissing(L"game.cue", L"gone.bin", L"D:\\rips")},
        {"a cue sheet naming an absolute path", L"game.cue", U, [](Host &h) { h.texts[Cue] = {Read, L"FILE E:\\t.bin BINARY", false}; }, expected::CueFileMissing(L"game.cue", L"E:\\t.bin", L"E:")},
        {"a cue sheet naming no file", L"game.cue", U, [](Host &h) { h.texts[Cue] = {Read, L"TRACK 01 MODE1/2352", false}; }, L"game.cue names no track file: it has no FILE line, so chdman would have nothing to compress.\r\n\r\nSelect the disc's own .cue file, or its .iso image."},
        {"a cue sheet of empty tracks", L"game.cue", U, [](Host &h) { h.texts[Cue] = {Read, L"FILE t.bin BINARY", false}; h.files.insert(L"D:\\rips\\t.bin"); h.sizes[L"D:\\rips\\t.bin"] = 0; }, expected::EmptyImage(L"game.cue")},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.selected, c.zso == T ? U : T, c.zso);
        c.lay(rig.host);
        rig.host.answer = Answer::AnswerNo; // a run that is not refused goes no further
        rig.actions.OnCompress();
        const std::wstring label = std::wstring(L"label File: ") + c.selected;
        const std::wstring asked = std::wstring(L"box YesNo Proceed to compress ") + c.selected +
                                   (c.zso == T ? L" with ZSO?" : L" with CHD?");
        EXPECT_EQ(rig.log, (Log{label, c.box.empty() ? asked : L"box Warning " + c.box}));
        EXPECT_EQ(rig.host.clipboard, L"(untouched)");
    }
}

TEST(OnCompress, RefusesAnOutputMadeWhileTheQuestionWasOpen)
{
    Rig rig(L"game.iso", T);
    rig.host.onQuestion = [&rig] { rig.host.files.insert(NewChd); };
    rig.actions.OnCompress();
    EXPECT_EQ(rig.log.back(),
              L"box Warning " + expected::OutputExists(L"NEW.CHD", Tools, L"chdman"));
    EXPECT_TRUE(rig.host.launched.empty());
}

TEST(OnCompress, RefusesASecondRunForAnOutputUntilTheFirstHasEnded)
{
    Rig rig(L"game.iso", T);
    rig.actions.OnCompress();
    rig.form.selectedFile = L"other.iso";
    rig.actions.OnCompress();
    EXPECT_EQ(rig.log.back(),
              L"box Warning " + expected::StillRunning(L"chdman", L"NEW.CHD", Image));
    EXPECT_EQ(rig.host.launched.size(), 1U);
    // The other format has an output of its own.
    rig.form.chd = U;
    rig.form.zso = T;
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched.size(), 2U);
    // Once the run has ended, its output can be made again.
    rig.actions.OnTaskEnded(First, 0);
    rig.form.chd = T;
    rig.actions.OnCompress();
    EXPECT_EQ(rig.host.launched.size(), 3U);
}

struct EndCase {
    const expected::Format &format;
    std::optional<ExitCode> code;
    std::uint64_t imageSize;
    std::optional<std::uint64_t> outputSize; // nothing: no output
    std::uint64_t milliseconds;
    std::wstring box; // after "box "
    std::function<void(drive::FakeHost &)> lay = {};
};

TEST(OnTaskEnded, TellsHowACompressionEndedOnceAndFlashes)
{
    using Host = drive::FakeHost;
    const auto &chd = expected::Chd;
    const auto &zso = expected::Zso;
    const auto failed = [](const expected::Format &format, const wchar_t *code) {
        return L"Warning " + expected::ToolFailed(format, code, Image, Tools);
    };
    // clang-format off
    const EndCase cases[] = {
        {chd, 0, 734003200, 432330342, 72400, L"OkOnly " + expected::Created(chd, L"game.iso 700.0\u00a0MB -> NEW.CHD 412.3\u00a0MB (59\u00a0%) in 1\u00a0min 12\u00a0s")},
        {zso, 0, 2048, 900, 400, L"OkOnly " + expected::Created(zso, L"game.iso 2.0\u00a0KB -> NEW.ZSO 900\u00a0bytes (44\u00a0%) in less than 1\u00a0s")},
        {chd, 0, 5000000000, 1, 7384000, L"OkOnly " + expected::Created(chd, L"game.iso 4.7\u00a0GB -> NEW.CHD 1\u00a0byte (0\u00a0%) in 2\u00a0h 3\u00a0min")},
        {chd, 0, 1000, std::nullopt, 5, L"Warning " + expected::NoOutput(chd, Image, Tools)},
        {chd, 9009, 1000, std::nullopt, 5, L"Warning " + expected::ChdmanNotFound},
        // The .py opener could not be read: Python may be missing too.
        {zso, 9009, 1000, std::nullopt, 5, L"Warning " + expected::ZisoNotFound, [](Host &h) { h.opener.command.clear(); }},
        {zso, 9009, 1000, std::nullopt, 5, L"Warning ziso.py was not found, so NEW.ZSO was not made.\r\n\r\nziso.py must lie beside Qarvel.exe, and Qarvel must be started from its own folder (as Explorer and shortcuts do)."},
        {chd, 9009, 1000, std::nullopt, 5, L"Warning chdman was not found, so NEW.CHD was not made: chdman.exe is no longer beside Qarvel.exe in C:\\tools.\r\n\r\nPut it back there, then press iSO again.", [](Host &h) { h.files.erase(L"C:\\tools\\chdman.exe"); }},
        {chd, 9009, 1000, std::nullopt, 5, L"Warning " + expected::StartedElsewhere(L"D:\\", L"C:\\tools"), [](Host &h) { h.workingDirectory = L"D:\\"; }},
        {zso, 4, 3000000, std::nullopt, 5, L"Warning ziso.py ran out of room on the disk C:\\ of Qarvel's folder while making NEW.ZSO from D:\\rips\\game.iso, so NEW.ZSO was not made.\r\n\r\nNEW.ZSO needs at most the image's size, 2.9\u00a0MB: free that much room on C:\\, then press iSO again."},
        {zso, 5, 1000, std::nullopt, 5, L"Warning ziso.py could not read D:\\rips\\game.iso, or the image changed while it was being read, so NEW.ZSO was not made.\r\n\r\nIf the image is still being copied or downloaded, wait until that has finished; otherwise copy it to a folder of your own, such as Documents, and compress the copy."},
        {chd, 1, 1000, std::nullopt, 5, failed(chd, L"1")},
        // Its console window closed.
        {zso, 0xC000013A, 1000, std::nullopt, 5, failed(zso, L"0xC000013A")},
        // ziso.py's code for a missing lz4; from chdman, 3 is a failure like any other.
        {zso, 3, 1000, std::nullopt, 5, L"Warning " + expected::MissingLz4(Image)},
        {chd, 3, 1000, std::nullopt, 5, failed(chd, L"3")},
        // ziso.py never leaves part of its output: a NEW.ZSO there is another run's.
        {zso, 1, 1000, 500, 5, failed(zso, L"1")},
        {chd, std::nullopt, 1000, 500, 5, L"Warning " + expected::UnknownEnd(chd, Image, Tools)},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.format.name << " " << c.code.value_or(99999));
        Rig rig(L"game.iso", c.format.IsChd() ? T : U, c.format.IsChd() ? U : T);
        rig.host.sizes[Image] = c.imageSize;
        rig.host.files = {L"C:\\tools\\chdman.exe", L"C:\\tools\\ziso.py"};
        rig.host.milliseconds = 1000;
        if (c.lay) {
            c.lay(rig.host);
        }
        rig.actions.OnCompress();
        rig.host.answer = Answer::AnswerNo;
        rig.log.clear();
        const std::wstring output = L"C:\\tools\\NEW." + c.format.name;
        if (c.outputSize) {
            rig.host.files.insert(output);
            rig.host.sizes[output] = *c.outputSize;
        }
        rig.host.milliseconds += c.milliseconds;
        rig.actions.OnTaskEnded(First, c.code);
        Log told{L"flash", L"box " + c.box};
        if (c.box.starts_with(L"OkOnly")) {
            told.push_back(
                L"box YesNoNoFirst " +
                expected::NameAfterImage(
                    c.format, L"game." + std::wstring(c.format.IsChd() ? L"chd" : L"zso"), Tools));
        }
        EXPECT_EQ(rig.log, told);
        rig.log.clear();
        rig.actions.OnTaskEnded(First, c.code); // told once
        rig.actions.OnTaskEnded(First + 1, 1);  // never started
        EXPECT_TRUE(rig.log.empty());
    }
}

struct LeftoverCase {
    const char *what;
    Answer answer;
    bool held;
    Log after; // after the question
    bool kept;
};

TEST(OnTaskEnded, OffersToDeleteWhatAFailedChdmanLeft)
{
    const LeftoverCase cases[] = {
        {"Yes", Answer::AnswerYes, false, {L"remove " + NewChd}, false},
        {"No", Answer::AnswerNo, false, {}, true},
        {"Yes, but another program has it",
         Answer::AnswerYes,
         true,
         {L"remove " + NewChd, L"box Warning " + expected::NotRemoved(Tools)},
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(L"game.iso", T);
        rig.actions.OnCompress();
        rig.log.clear();
        rig.host.files.insert(NewChd);
        if (c.held) {
            rig.host.inUse.insert(NewChd);
        }
        rig.host.answer = c.answer;
        rig.actions.OnTaskEnded(First, 0xC000013A);
        Log told{L"flash", L"box WarningYesNo " + expected::Leftover(L"0xC000013A", Image, Tools)};
        told.insert(told.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(rig.log, told);
        EXPECT_EQ(rig.host.FileExists(NewChd), c.kept);
    }
}

// A plain failure names no cause: the whole texts of the table above.
TEST(OnTaskEnded, AFailureNamesEachCauseQarvelCanSeeInASentenceOfItsOwn)
{
    Rig rig(L"game.cue", T);
    rig.host.texts[Cue] = {Read, L"FILE \"..\\T\u00e9\\game.bin\" BINARY", true};
    rig.host.files.insert(L"D:\\rips\\..\\T\u00e9\\game.bin");
    rig.actions.OnCompress();
    rig.host.room->free = 999;
    rig.actions.OnTaskEnded(First, 1);
    const std::wstring causes =
        L"made.\r\n\r\n" + expected::NonAsciiPath(L"D:\\rips\\..\\T\u00e9\\game.bin") +
        L"\r\n\r\n" + expected::CueByteOrderMark(L"game.cue") + L"\r\n\r\n" +
        expected::LowOnRoom(L"C:\\", L"999\u00a0bytes", L"1000\u00a0bytes") +
        L"\r\n\r\nTo read chdman's own message";
    EXPECT_NE(rig.log.back().find(causes), std::wstring::npos) << rig.log.back();
}

TEST(OnTaskEnded, OffersToDeleteTheTemporaryFileOfAFailedZiso)
{
    const std::wstring tmp = L"C:\\tools\\~ziso-abcd1234.tmp";
    for (const bool held : {false, true}) {
        Rig rig(L"game.iso", U, T);
        rig.actions.OnCompress();
        rig.host.listings[L"C:\\tools\\~ziso-????????.tmp"] = {L"~ziso-abcd1234.tmp"};
        rig.host.files.insert(tmp);
        rig.host.sizes[tmp] = 135266304;
        if (held) {
            rig.host.inUse.insert(tmp); // a live run's
        }
        rig.log.clear();
        rig.actions.OnTaskEnded(First, 0xC000013A);
        const std::wstring failed =
            expected::ToolFailed(expected::Zso, L"0xC000013A", Image, Tools);
        const Log asked{L"flash",
                        L"box WarningYesNo " + failed +
                            L"\r\n\r\nziso.py left its unfinished temporary file "
                            L"~ziso-abcd1234.tmp (129.0\u00a0MB) in C:\\tools. Delete it now?",
                        L"remove " + tmp};
        EXPECT_EQ(rig.log, held ? (Log{L"flash", L"box Warning " + failed}) : asked);
    }
}

TEST(Wording, SizesTimesAndExitCodesAsTheUserReadsThem)
{
    // clang-format off
    const std::pair<std::uint64_t, std::wstring> sizes[] = {
        {0, L"0\u00a0bytes"},             {1023, L"1023\u00a0bytes"},      {1024, L"1.0\u00a0KB"},
        {1048575, L"1.0\u00a0MB"},        {1073689395, L"1023.9\u00a0MB"}, {1073689396, L"1.0\u00a0GB"},
        {10737418240, L"10.0\u00a0GB"},
    };
    for (const auto &[bytes, text] : sizes) {
        EXPECT_EQ(SizeText(bytes), text) << bytes;
    }
    const std::pair<std::uint64_t, std::wstring> times[] = {
        {499, L"less than 1\u00a0s"}, {500, L"1\u00a0s"}, {59499, L"59\u00a0s"}, {59500, L"1\u00a0min 0\u00a0s"},
        {3599499, L"59\u00a0min 59\u00a0s"}, {3600000, L"1\u00a0h 0\u00a0min"},
    };
    // clang-format on
    for (const auto &[milliseconds, text] : times) {
        EXPECT_EQ(DurationText(milliseconds), text) << milliseconds;
    }
    const std::pair<ExitCode, std::wstring> codes[] = {
        {0, L"exit code 0"},
        {65535, L"exit code 65535"},
        {65536, L"exit code 0x00010000"},
        {0xC000013A, L"exit code 0xC000013A"},
    };
    for (const auto &[code, text] : codes) {
        EXPECT_EQ(ExitCodeText(code), text);
    }
}

struct HelperCase {
    const char *what;
    void (ImageActions::*click)();
    std::optional<ExitCode> code;
    std::wstring box; // empty: none
};

TEST(OnTaskEnded, TellsOnlyTheFailuresOfTheConverterAndTheInstaller)
{
    const HelperCase cases[] = {
        {"converter not found", &ImageActions::OnConvert, 9009, expected::ConverterNotFound(Tools)},
        {"converter failed", &ImageActions::OnConvert, 1, L""},
        {"pip not found", &ImageActions::OnLz4LabelClicked, 9009, expected::PipNotFound},
        {"pip failed", &ImageActions::OnLz4LabelClicked, 1, expected::PipFailed(L"1")},
        {"pip done", &ImageActions::OnLz4LabelClicked, 0, L""},
        {"pip's end unknown", &ImageActions::OnLz4LabelClicked, std::nullopt, L""},
        {"the site is not watched", &ImageActions::OnSiteLabelClicked, 9009, L""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        (rig.actions.*c.click)();
        rig.log.clear();
        rig.actions.OnTaskEnded(First, c.code);
        const Log told = c.box.empty() ? Log{} : Log{L"box Warning " + c.box};
        EXPECT_EQ(rig.log, told);
    }
}

TEST(OnTaskEnded, HelpersStartedUnwatchedAreForgotten)
{
    Rig rig;
    rig.host.watchFull = true;
    rig.actions.OnLz4LabelClicked();
    rig.actions.OnTaskEnded(First, 9009);
    EXPECT_EQ(rig.log, (Log{L"launch minimised cmd.exe /c pip install lz4"}));
}

} // namespace
} // namespace qarvel::test
