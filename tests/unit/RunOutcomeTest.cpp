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
    const auto noPython = [](Host &h) { h.openCommands.clear(); };
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
};

TEST(OnTaskEnded, TellsHowACompressionEndedOnceAndFlashes)
{
    const auto &chd = expected::Chd;
    const auto &zso = expected::Zso;
    const auto failed = [](const expected::Format &format, const wchar_t *code) {
        return L"Warning " + expected::ToolFailed(format, code, Image, Tools);
    };
    // clang-format off
    const EndCase cases[] = {
        {chd, 0, 734003200, 432330342, 72400, L"OkOnly " + expected::Created(chd, L"game.iso 700.0 MB -> NEW.CHD 412.3 MB (59 %) in 1 min 12 s")},
        {zso, 0, 2048, 900, 400, L"OkOnly " + expected::Created(zso, L"game.iso 2.0 KB -> NEW.ZSO 900 bytes (44 %) in less than 1 s")},
        {chd, 0, 5000000000, 1, 7384000, L"OkOnly " + expected::Created(chd, L"game.iso 4.7 GB -> NEW.CHD 1 byte (0 %) in 2 h 3 min")},
        {chd, 0, 1000, std::nullopt, 5, L"Warning " + expected::NoOutput(chd, Image, Tools)},
        {chd, NotRecognized, 1000, std::nullopt, 5, L"Warning " + expected::ChdmanNotFound},
        {zso, NotRecognized, 1000, std::nullopt, 5, L"Warning " + expected::ZisoNotFound},
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
        rig.host.milliseconds = 1000;
        rig.actions.OnCompress();
        rig.log.clear();
        const std::wstring output = L"C:\\tools\\NEW." + c.format.name;
        if (c.outputSize) {
            rig.host.files.insert(output);
            rig.host.sizes[output] = *c.outputSize;
        }
        rig.host.milliseconds += c.milliseconds;
        rig.actions.OnTaskEnded(First, c.code);
        EXPECT_EQ(rig.log, (Log{L"flash", L"box " + c.box}));
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

TEST(Wording, SizesTimesAndExitCodesAsTheUserReadsThem)
{
    const std::pair<std::uint64_t, std::wstring> sizes[] = {
        {0, L"0 bytes"},           {1023, L"1023 bytes"},      {1024, L"1.0 KB"},
        {1048575, L"1.0 MB"},      {1073689395, L"1023.9 MB"}, {1073689396, L"1.0 GB"},
        {10737418240, L"10.0 GB"},
    };
    for (const auto &[bytes, text] : sizes) {
        EXPECT_EQ(SizeText(bytes), text) << bytes;
    }
    const std::pair<std::uint64_t, std::wstring> times[] = {
        {499, L"less than 1 s"},   {500, L"1 s"},           {59499, L"59 s"}, {59500, L"1 min 0 s"},
        {3599499, L"59 min 59 s"}, {3600000, L"1 h 0 min"},
    };
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
        {"converter not found", &ImageActions::OnConvert, NotRecognized,
         expected::ConverterNotFound(Tools)},
        {"converter failed", &ImageActions::OnConvert, 1, L""},
        {"pip not found", &ImageActions::OnLz4LabelClicked, NotRecognized, expected::PipNotFound},
        {"pip failed", &ImageActions::OnLz4LabelClicked, 1, expected::PipFailed(L"1")},
        {"pip done", &ImageActions::OnLz4LabelClicked, 0, L""},
        {"pip's end unknown", &ImageActions::OnLz4LabelClicked, std::nullopt, L""},
        {"the site is not watched", &ImageActions::OnSiteLabelClicked, NotRecognized, L""},
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
    rig.actions.OnTaskEnded(First, NotRecognized);
    EXPECT_EQ(rig.log, (Log{L"launch minimised cmd.exe /c pip install lz4"}));
}

} // namespace
} // namespace qarvel::test
