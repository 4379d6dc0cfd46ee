// Start-up probes, the mutually exclusive format boxes, and the converter and label launches.

#include "Fakes.h"
#include "tests/e2e/ExpectedTexts.h"

#include <gtest/gtest.h>

namespace qarvel::test {
namespace {

struct ProbeCase {
    const char *what;
    std::wstring programDirectory;
    std::set<std::wstring> files;
    bool chd;
    bool zso;
};

TEST(OnWindowLoad, OpensTheProgramDirectoryAndEnablesTheBoxOfEachToolFound)
{
    const ProbeCase cases[] = {
        {"neither tool", L"C:\\tools", {}, false, false},
        {"only ziso.py", L"C:\\tools", {L"C:\\tools\\ziso.py"}, false, true},
        {"only chdman.exe", L"C:\\tools", {L"C:\\tools\\chdman.exe"}, true, false},
        {"both", L"C:\\tools", {L"C:\\tools\\chdman.exe", L"C:\\tools\\ziso.py"}, true, true},
        {"a tool elsewhere", L"C:\\tools", {L"C:\\other\\chdman.exe"}, false, false},
        // A drive root: the probe path holds two separators in a row, passed on unchanged.
        {"drive root", L"C:\\", {L"C:\\\\chdman.exe"}, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.host.programDirectory = c.programDirectory;
        rig.host.files = c.files;
        rig.form.selectedFile = L"left.over";
        rig.actions.OnWindowLoad();
        const std::wstring &dir = c.programDirectory;
        EXPECT_EQ(rig.log, Log{L"open " + dir});
        EXPECT_EQ(rig.form.chdEnabled, c.chd);
        EXPECT_EQ(rig.form.zsoEnabled, c.zso);
        EXPECT_EQ(rig.form.fileListDirectory, dir);
        EXPECT_EQ(rig.form.ReadSelectedFile(), L"");
    }
}

struct TickCase {
    Tick chdBefore;
    Tick zsoBefore;
    FormatBox clicked;
    Tick chdAfter;
    Tick zsoAfter;
};

TEST(FormatBoxes, ExcludeEachOtherAsTheUserClicks)
{
    constexpr auto U = Tick::Unticked;
    constexpr auto T = Tick::Ticked;
    const TickCase cases[] = {
        {U, U, FormatBox::Chd, T, U}, {U, U, FormatBox::Zso, U, T}, {T, U, FormatBox::Zso, U, T},
        {U, T, FormatBox::Chd, T, U}, {T, U, FormatBox::Chd, U, U}, {U, T, FormatBox::Zso, U, U},
    };
    for (const auto &c : cases) {
        Rig rig;
        rig.form.chd = c.chdBefore;
        rig.form.zso = c.zsoBefore;
        // As the window does: the tick value changes first, then the click handling runs.
        Tick &clicked = c.clicked == FormatBox::Chd ? rig.form.chd : rig.form.zso;
        clicked = clicked == T ? U : T;
        rig.actions.OnFormatBoxClicked(c.clicked);
        EXPECT_EQ(rig.form.chd, c.chdAfter);
        EXPECT_EQ(rig.form.zso, c.zsoAfter);
    }
}

TEST(OnConvert, CapturesThenStartsTheConverterWithNoArguments)
{
    for (const wchar_t *selected : {L"", L"game.cue"}) {
        Rig rig;
        rig.form.selectedFile = selected;
        rig.actions.OnConvert();
        EXPECT_EQ(rig.log, (Log{std::wstring(L"label File: ") + selected,
                                L"launch minimised cmd.exe /c \"\"C:\\tools\\bin2iso.exe\"\""}));
    }
}

TEST(OnConvert, RefusesAProgramFolderTheInterpreterWouldChange)
{
    Rig rig;
    rig.host.programDirectory = L"C:\\tools %TEMP%";
    rig.actions.OnConvert();
    EXPECT_TRUE(rig.host.launched.empty());
    EXPECT_EQ(rig.log.back(), L"box Critical " + drive::expected::Expansion(
                                                     L"%TEMP%", L"C:\\tools %TEMP%\\bin2iso.exe"));
}

TEST(LabelLaunches, StartTheirLinesMinimisedAndSayWhenNothingStarted)
{
    Rig rig;
    rig.actions.OnSiteLabelClicked();
    rig.actions.OnSiteLabelClicked();
    rig.actions.OnLz4LabelClicked();
    const std::wstring site = L"launch minimised cmd.exe /c start https://halvoren.example/qarvel";
    EXPECT_EQ(rig.log, (Log{site, site, L"launch minimised cmd.exe /c pip install lz4"}));

    Rig failing;
    failing.host.task = NoTask;
    failing.actions.OnConvert();
    failing.actions.OnLz4LabelClicked();
    const std::wstring failed = L"box Critical " + drive::expected::LaunchFailed;
    EXPECT_EQ(failing.log[2], failed);
    EXPECT_EQ(failing.log.back(), failed);
}

} // namespace
} // namespace qarvel::test
