// Works the built Qarvel.exe from outside as a person would, with recorders standing in for
// the tools, and checks what reached each tool byte for byte.

#include "ExpectedTexts.h"
#include "tests/harness/Driver.h"
#include "tests/harness/Lab.h"
#include "tests/harness/WineSettings.h"
#include "window/ControlIds.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace qarvel::drive {
namespace {

class EndToEnd : public testing::Test {
protected:
    Lab lab;
    // As the Python installer sets it up; a recorder stands in for Python.
    PythonAssociation python{PythonAssociation::InstalledIn(lab.Path(L"work"))};
    std::wstring program;
    std::wstring work = lab.Path(L"work");
    // Plain letters: the chdman of Windows cannot open an input path with others.
    std::wstring images = lab.Path(L"images & 1");

    // Lays the program folder, the working folder with the recorders, and the images.
    void Lay(const std::wstring &programFolder = L"program", Beside beside = {})
    {
        program = lab.Path(programFolder);
        ASSERT_TRUE(Lab::LayProgram(program, beside));
        ASSERT_TRUE(Lab::LayWork(work));
        ASSERT_TRUE(MakeFolders(images + L"\\sub"));
        for (const wchar_t *file : {L"game.iso", L"notes.txt", L"DISC.ISO"}) {
            ASSERT_TRUE(WriteFile(images + L"\\" + file, "data"));
        }
        // A track in other letter case, as Windows finds it; its size is what is compressed.
        ASSERT_TRUE(WriteFile(images + L"\\game.cue", "FILE \"GAME.ISO\" BINARY\r\n"));
        ASSERT_TRUE(WriteFile(images + L"\\empty.iso"));
        ASSERT_TRUE(python.IsSet());
    }

    // In the working folder with the recorders, or in another one given.
    RunningQarvel Start(const std::wstring &workingFolder = {})
    {
        return RunningQarvel::MustStart(program + L"\\Qarvel.exe",
                                        workingFolder.empty() ? work : workingFolder);
    }

    // Chooses game.iso for CHD and answers Yes to the question.
    void CompressGameIso(RunningQarvel &q)
    {
        Choose(q, L"game.iso", window::ids::ChdBox);
        Click(q.Control(window::ids::CompressButton));
        ASSERT_TRUE(q.ExpectBox(expected::Chd.Confirmation(L"game.iso"), IDYES));
    }

    void TearDown() override
    {
        for (const wchar_t *variable :
             {record::ExitVariable, record::DelayVariable, record::OutputVariable}) {
            ::SetEnvironmentVariableW(variable, nullptr);
        }
    }

    // Opens the images folder (or the subfolder of it that the file names), selects the file
    // and, when given, ticks a box.
    void Choose(RunningQarvel &q, const std::wstring &file, int box = 0)
    {
        const auto slash = file.find_last_of(L'\\');
        ASSERT_TRUE(q.OpenFolder(
            slash == std::wstring::npos ? images : images + L"\\" + file.substr(0, slash)));
        ASSERT_TRUE(q.SelectFile(file.substr(slash + 1)));
        if (box != 0) {
            ASSERT_TRUE(q.Tick(box));
        }
    }
};

struct StartCase {
    const char *what;
    Beside beside;
    bool chd;
    bool zso;
    std::set<std::wstring> listed; // beside Qarvel.exe and bin2iso.exe
};

TEST_F(EndToEnd, OpensAtItsOwnFolderWithAFormatForEachToolBesideIt)
{
    const StartCase cases[] = {
        {"both tools", {true, true, false}, true, true, {L"chdman.exe", L"ziso.py"}},
        {"only ziso.py", {false, true, false}, false, true, {L"ziso.py"}},
        {"only chdman.exe", {true, false, false}, true, false, {L"chdman.exe"}},
        {"a folder named chdman.exe", {false, false, true}, false, false, {}},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Lay(L"program " + std::to_wstring(++n), c.beside);
        RunningQarvel q = Start();
        EXPECT_EQ(WindowText(q.Window()), expected::Caption);
        EXPECT_EQ(::IsWindowEnabled(q.Control(window::ids::ChdBox)) != FALSE, c.chd);
        EXPECT_EQ(::IsWindowEnabled(q.Control(window::ids::ZsoBox)) != FALSE, c.zso);
        EXPECT_EQ(q.OpenFolderShown(), program);
        std::set<std::wstring> listed = c.listed;
        listed.insert({L"Qarvel.exe", L"bin2iso.exe"});
        const auto files = ListItems(q.Control(window::ids::FileList));
        EXPECT_EQ(std::set<std::wstring>(files.begin(), files.end()), listed);
        EXPECT_EQ(WindowText(q.Control(window::ids::FileLabel)), expected::FileNotSet);
        EXPECT_TRUE(q.Close());
    }
}

TEST_F(EndToEnd, CompressesTheSelectedImageWithTheTickedFormat)
{
    Lay(L"program (x86) & é");
    const std::pair<const expected::Format &, std::wstring> cases[] = {
        {expected::Chd, L"game.cue"},
        {expected::Zso, L"game.iso"},
    };
    size_t recorded = 0;
    for (const auto &[format, file] : cases) {
        SCOPED_TRACE(testing::Message() << format.name);
        ASSERT_TRUE(SetClipboard(L"before"));
        RunningQarvel q = Start();
        Choose(q, file, format.box);
        Click(q.Control(window::ids::CompressButton));
        ASSERT_TRUE(q.ExpectBox(format.Confirmation(file), IDYES));
        ASSERT_TRUE(q.ExpectBox(expected::RecorderCreated(format, file, 4, L"525"), IDOK,
                                RunningQarvel::Text::Start));
        ASSERT_TRUE(q.ExpectBox(expected::NameQuestion(format), IDNO, RunningQarvel::Text::Start));
        EXPECT_TRUE(::DeleteFileW((program + L"\\NEW." + format.name).c_str())) << "made";
        EXPECT_EQ(WindowText(q.Control(window::ids::FileLabel)), expected::FileLabelStart + file);

        const auto records = lab.WaitForRecords(++recorded);
        ASSERT_EQ(records.size(), recorded);
        const auto &got = records.back();
        const std::wstring input = images + L"\\" + file;
        EXPECT_EQ(got.program, work + L"\\" + format.tool);
        EXPECT_EQ(got.directory, work);
        const std::wstring line = format.Line(input, program);
        // What the interpreter hands the tool is the line after "cmd.exe /c ".
        EXPECT_EQ(got.commandLine, line.substr(std::wstring(L"cmd.exe /c ").size()));
        EXPECT_EQ(got.args, format.Args(input, program));
        EXPECT_EQ(ClipboardText(), format.IsChd() ? L"before" : line);
        EXPECT_TRUE(q.IsResponsive());
        EXPECT_TRUE(q.Close());
    }
}

struct RefuseCase {
    const char *what;
    std::wstring file;
    int box;
    std::wstring refusal; // its start
    int answer;
    std::wstring opener = {}; // the .py open command
    std::wstring type = {};   // the type of .py files, when it has no open command
};

TEST_F(EndToEnd, RefusesOrStopsWithoutStartingAnything)
{
    Lay();
    ASSERT_TRUE(WriteFile(images + L"\\missing.cue", "FILE \"game (Track 1).bin\" BINARY\r\n"));
    ASSERT_TRUE(WriteFile(images + L"\\notrack.cue", "TRACK 01 MODE1/2352\r\n"));
    const RegistryValue packaged(HKEY_LOCAL_MACHINE, L"Software\\Classes\\AppXq1\\shell\\open",
                                 L"DelegateExecute", std::wstring(L"{0C8C9A43-1E17-4D21-B5C2}"));
    const std::wstring pythonHere = L"\"" + work + L"\\python.exe\" \"%1\"";
    const int chd = window::ids::ChdBox;
    const int zso = window::ids::ZsoBox;
    // clang-format off
    const RefuseCase cases[] = {
        {"not an image", L"notes.txt", chd, expected::NotAnImage, IDOK},
        {"upper-case extension", L"DISC.ISO", zso, expected::NotAnImage, IDOK},
        {"answered No", L"game.cue", chd, expected::Chd.Confirmation(L"game.cue"), IDNO},
        {"no format ticked", L"game.iso", 0, L"", 0},
        {"an empty image", L"empty.iso", chd, expected::EmptyImage(L"empty.iso"), IDOK},
        {"a cue sheet naming a missing track", L"missing.cue", chd, expected::CueFileMissing(L"missing.cue", L"game (Track 1).bin", images), IDOK},
        {"a cue sheet naming no track", L"notrack.cue", chd, L"notrack.cue names no track file", IDOK},
        {"ZSO without Python", L"game.iso", zso, expected::NoPython, IDOK, L"", L"Qarvel.NoSuchType"},
        {".py opened by an editor", L"game.iso", zso, expected::NotPython(L"notepad.exe"), IDOK, L"notepad.exe \"%1\""},
        {".py opened by Code.exe", L"game.iso", zso, expected::NotPython(L"Code.exe"), IDOK, L"\"C:\\Editor\\Code.exe\" \"%1\""},
        {".py opened without %*", L"game.iso", zso, L"Files ending in .py open with this command on this computer, which passes a script none of the words after its name:\r\n\r\n" + pythonHere + L"\r\n\r\n", IDOK, pythonHere},
        {".py of a packaged app", L"game.iso", zso, expected::PackagedPython, IDOK, L"", L"AppXq1"},
        {"the py launcher, answered No", L"game.iso", zso, expected::Zso.Confirmation(L"game.iso"), IDNO, L"\"" + work + L"\\py.exe\" \"%L\" %*"},
        {"python.exe, answered No", L"game.iso", zso, expected::Zso.Confirmation(L"game.iso"), IDNO, pythonHere + L" %*"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<PythonAssociation> opener;
        std::optional<RegistryValue> type;
        if (!c.opener.empty()) {
            opener.emplace(c.opener);
        } else if (!c.type.empty()) {
            type.emplace(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.py", L"", c.type);
        }
        ASSERT_TRUE(SetClipboard(L"before"));
        RunningQarvel q = Start();
        Choose(q, c.file, c.box);
        Click(q.Control(window::ids::CompressButton));
        if (!c.refusal.empty()) {
            ASSERT_TRUE(q.ExpectBox(c.refusal, c.answer, RunningQarvel::Text::Start));
        }
        EXPECT_TRUE(q.NoMessageBox());
        EXPECT_EQ(WindowText(q.Control(window::ids::FileLabel)), expected::FileLabelStart + c.file);
        EXPECT_EQ(ClipboardText(), L"before");
        EXPECT_TRUE(q.IsResponsive());
        EXPECT_TRUE(q.Close());
    }
    EXPECT_TRUE(lab.Records().empty());
}

TEST_F(EndToEnd, RefusesACompressWithNothingSelected)
{
    Lay();
    RunningQarvel q = Start();
    Click(q.Control(window::ids::ChdBox));
    Click(q.Control(window::ids::CompressButton));
    ASSERT_TRUE(q.ExpectBox(expected::NotAnImage, IDOK));
    EXPECT_EQ(WindowText(q.Control(window::ids::FileLabel)), expected::FileLabelStart);
    EXPECT_TRUE(q.Close());
    EXPECT_TRUE(lab.Records().empty());
}

TEST_F(EndToEnd, RefusesAnExistingOutputBeforeAsking)
{
    Lay();
    ASSERT_TRUE(WriteFile(program + L"\\NEW.CHD", "an older image"));
    RunningQarvel q = Start();
    Choose(q, L"game.iso", window::ids::ChdBox);
    Click(q.Control(window::ids::CompressButton));
    ASSERT_TRUE(q.ExpectBox(expected::OutputExists(L"NEW.CHD", program, L"chdman"), IDOK));
    EXPECT_TRUE(q.NoMessageBox());
    EXPECT_TRUE(q.Close());
    EXPECT_TRUE(lab.Records().empty());
}

struct EndCase {
    const char *what;
    const wchar_t *exit;
    const wchar_t *output; // QARVEL_RECORD_OUTPUT
    bool inWork;           // started where the tool is found
    std::wstring box;
    int answer;
    bool kept; // NEW.CHD is there afterwards
};

TEST_F(EndToEnd, TellsHowAFailedRunEndedAndOffersToDeleteWhatItLeft)
{
    Lay();
    const std::wstring image = images + L"\\game.iso";
    const std::wstring leftover = expected::Leftover(L"3", image, program);
    const EndCase cases[] = {
        {"failed, its leftover deleted", L"3", L"", true, leftover, IDYES, false},
        {"failed, its leftover kept", L"3", L"", true, leftover, IDNO, true},
        {"ended well without its output", L"0", L"none", true,
         expected::NoOutput(expected::Chd, image, program), IDOK, false},
        // A working folder without the tool: the interpreter finds nothing by that name.
        {"not found", L"0", L"", false, expected::StartedElsewhere(images, lab.Path(L"program")),
         IDOK, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(::SetEnvironmentVariableW(record::ExitVariable, c.exit));
        ASSERT_TRUE(::SetEnvironmentVariableW(record::OutputVariable, c.output));
        RunningQarvel q = Start(c.inWork ? work : images);
        CompressGameIso(q);
        ASSERT_TRUE(q.ExpectBox(c.box, c.answer));
        EXPECT_TRUE(q.NoMessageBox());
        const std::wstring made = program + L"\\NEW.CHD";
        EXPECT_EQ(::GetFileAttributesW(made.c_str()) != INVALID_FILE_ATTRIBUTES, c.kept);
        ::DeleteFileW(made.c_str());
        EXPECT_TRUE(q.IsResponsive());
        EXPECT_TRUE(q.Close());
    }
}

TEST_F(EndToEnd, TellsTwoEndedRunsOneBoxAfterTheOther)
{
    Lay();
    ASSERT_TRUE(::SetEnvironmentVariableW(record::ExitVariable, L"7"));
    ASSERT_TRUE(::SetEnvironmentVariableW(record::DelayVariable, L"2500"));
    ASSERT_TRUE(::SetEnvironmentVariableW(record::OutputVariable, L"none"));
    RunningQarvel q = Start();
    CompressGameIso(q);
    ASSERT_TRUE(q.Tick(window::ids::ZsoBox));
    Click(q.Control(window::ids::CompressButton));
    ASSERT_TRUE(q.ExpectBox(expected::Zso.Confirmation(L"game.iso"), IDYES));
    const auto first = q.WaitForMessageBox(15s);
    ASSERT_TRUE(first.has_value());
    // Both tools have ended, yet only the first one's box is open.
    EXPECT_EQ(lab.WaitForRecords(2).size(), 2U);
    RunMessagesFor(1s);
    EXPECT_EQ(q.MessageBoxesOpen(), 1U);
    const std::wstring image = images + L"\\game.iso";
    EXPECT_EQ(first->text, expected::ToolFailed(expected::Chd, L"7", image, program));
    ASSERT_TRUE(q.Answer(*first, IDOK));
    ASSERT_TRUE(q.ExpectBox(expected::ToolFailed(expected::Zso, L"7", image, program), IDOK));
    EXPECT_TRUE(q.NoMessageBox());
    EXPECT_TRUE(q.Close());
}

// The recorder makes NEW.CHD as it starts and ends 8 s later: "created!" waits for its end,
// and a second press meanwhile is told the run goes on, not that NEW.CHD is there.
TEST_F(EndToEnd, SaysCreatedOnlyOnceTheToolHasEndedAndRefusesASecondRunMeanwhile)
{
    Lay();
    ASSERT_TRUE(::SetEnvironmentVariableW(record::DelayVariable, L"8000"));
    RunningQarvel q = Start();
    CompressGameIso(q);
    const std::wstring made = program + L"\\NEW.CHD";
    ASSERT_TRUE(
        WaitFor([&] { return ::GetFileAttributesW(made.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    EXPECT_TRUE(q.NoMessageBox(1s));
    EXPECT_TRUE(q.IsResponsive());
    Click(q.Control(window::ids::CompressButton));
    ASSERT_TRUE(
        q.ExpectBox(expected::StillRunning(L"chdman", L"NEW.CHD", images + L"\\game.iso"), IDOK));
    EXPECT_TRUE(lab.Records().empty()); // the tool still runs
    ASSERT_TRUE(q.ExpectBox(expected::RecorderCreated(expected::Chd, L"game.iso", 4, L"525"), IDOK,
                            RunningQarvel::Text::Start, 20s));
    ASSERT_TRUE(
        q.ExpectBox(expected::NameQuestion(expected::Chd), IDNO, RunningQarvel::Text::Start));
    EXPECT_EQ(lab.Records().size(), 1U); // it had ended, and nothing else was started
    EXPECT_TRUE(q.Close());
}

// The recorder fails as the chdman of Windows does on a path outside ASCII and on a byte-order
// mark, and with the exit code given otherwise. A plain failure names no cause: the whole
// texts of the tables above.
TEST_F(EndToEnd, AChdmanFailureNamesTheCauseQarvelCanSee)
{
    Lay();
    ASSERT_TRUE(MakeFolders(images + L"\\T\u00e9"));
    ASSERT_TRUE(WriteFile(images + L"\\T\u00e9\\g.iso", "data"));
    ASSERT_TRUE(WriteFile(images + L"\\bom.cue", "\xEF\xBB\xBF"
                                                 "FILE game.iso BINARY\r\n"));
    { // Larger than the disk holds, and sparse: it takes no room itself.
        const win32::UniqueFile huge(::CreateFileW((images + L"\\huge.iso").c_str(), GENERIC_WRITE,
                                                   0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(::SetFilePointerEx(huge.get(), {.QuadPart = 1LL << 42}, nullptr, FILE_BEGIN) &&
                    ::SetEndOfFile(huge.get()));
    }
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"T\u00e9\\g.iso", expected::NonAsciiPath(images + L"\\T\u00e9\\g.iso")},
        {L"bom.cue", expected::CueByteOrderMark(L"bom.cue")},
        {L"huge.iso", L"The disk "},
    };
    ASSERT_TRUE(::SetEnvironmentVariableW(record::ExitVariable, L"3"));
    ASSERT_TRUE(::SetEnvironmentVariableW(record::OutputVariable, L"none"));
    for (const auto &[file, cause] : cases) {
        SCOPED_TRACE(testing::Message() << file);
        RunningQarvel q = Start();
        Choose(q, file, window::ids::ChdBox);
        Click(q.Control(window::ids::CompressButton));
        const std::wstring name = file.substr(file.find_last_of(L'\\') + 1);
        ASSERT_TRUE(q.ExpectBox(expected::Chd.Confirmation(name), IDYES));
        const std::wstring code = file == L"huge.iso" ? L"3" : L"1";
        ASSERT_TRUE(q.ExpectBox(L"chdman ended with exit code " + code +
                                    L" while making NEW.CHD from " + images + L"\\" + file +
                                    L", so NEW.CHD was not made.\r\n\r\n" + cause,
                                IDOK, RunningQarvel::Text::Start, 20s));
        EXPECT_TRUE(q.Close());
    }
}

struct NameCase {
    const expected::Format &format;
    bool taken; // game.chd or game.zso is there already
    int answer;
};

TEST_F(EndToEnd, NamesTheOutputAfterItsImageOnRequest)
{
    Lay();
    const NameCase cases[] = {
        {expected::Chd, false, IDNO}, {expected::Chd, false, IDYES}, {expected::Chd, true, IDYES},
        {expected::Zso, false, IDNO}, {expected::Zso, false, IDYES}, {expected::Zso, true, IDYES},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.format.name << " taken " << c.taken << " " << c.answer);
        const std::wstring output = program + L"\\NEW." + c.format.name;
        const std::wstring named = program + (c.format.IsChd() ? L"\\game.chd" : L"\\game.zso");
        ASSERT_TRUE(!c.taken || WriteFile(named, "older"));
        RunningQarvel q = Start();
        Choose(q, L"game.iso", c.format.box);
        Click(q.Control(window::ids::CompressButton));
        ASSERT_TRUE(q.ExpectBox(c.format.Confirmation(L"game.iso"), IDYES));
        ASSERT_TRUE(q.ExpectBox(expected::RecorderCreated(c.format, L"game.iso", 4, L"525"), IDOK,
                                RunningQarvel::Text::Start));
        ASSERT_TRUE(
            q.ExpectBox(expected::NameAfterImage(
                            c.format, c.format.IsChd() ? L"game.chd" : L"game.zso", program),
                        c.answer));
        if (c.taken) {
            ASSERT_TRUE(q.ExpectBox(L"There is already a " + named.substr(program.size() + 1) +
                                        L" in " + program,
                                    IDOK, RunningQarvel::Text::Start));
        }
        EXPECT_TRUE(q.NoMessageBox());
        EXPECT_EQ(::GetFileAttributesW(output.c_str()) != INVALID_FILE_ATTRIBUTES,
                  c.answer == IDNO || c.taken);
        EXPECT_EQ(::GetFileAttributesW(named.c_str()) != INVALID_FILE_ATTRIBUTES,
                  c.answer == IDYES || c.taken);
        ::DeleteFileW(output.c_str());
        ::DeleteFileW(named.c_str());
        EXPECT_TRUE(q.Close());
    }
}

TEST_F(EndToEnd, F5ShowsWhatChangedInTheOpenFolder)
{
    Lay();
    RunningQarvel q = Start();
    Choose(q, L"game.iso");
    ASSERT_TRUE(WriteFile(images + L"\\NEW.CHD", "made meanwhile"));
    ASSERT_TRUE(::DeleteFileW((images + L"\\notes.txt").c_str()));
    PressKey(VK_F5);
    const HWND fileList = q.Control(window::ids::FileList);
    EXPECT_TRUE(WaitFor([&] {
        const auto items = ListItems(fileList);
        return IndexOf(items, L"NEW.CHD") >= 0 && IndexOf(items, L"notes.txt") < 0;
    }));
    EXPECT_EQ(ListSelection(fileList), -1);
    EXPECT_TRUE(q.Close());
}

TEST_F(EndToEnd, StartsTheConverterBesideItFromAnyFolderAndTakesNoArguments)
{
    const wchar_t *folders[] = {L"my programs", L"Program Files (x86)", L"a&b", L"tools"};
    size_t recorded = 0;
    for (const wchar_t *folder : folders) {
        SCOPED_TRACE(testing::Message() << std::wstring(folder));
        Lay(folder);
        RunningQarvel q = Start();
        // Nothing selected first, then a .cue file: neither reaches the converter.
        for (const wchar_t *file : {L"", L"game.cue"}) {
            if (*file != L'\0') {
                Choose(q, file);
            }
            Click(q.Control(window::ids::ConvertButton));
            EXPECT_TRUE(q.NoMessageBox());
            EXPECT_EQ(WindowText(q.Control(window::ids::FileLabel)),
                      expected::FileLabelStart + file);
            const auto records = lab.WaitForRecords(++recorded);
            ASSERT_EQ(records.size(), recorded);
            EXPECT_EQ(records.back().program, program + L"\\bin2iso.exe");
            EXPECT_EQ(records.back().args, std::vector<std::wstring>{program + L"\\bin2iso.exe"});
        }
        EXPECT_TRUE(q.Close());
    }
}

TEST_F(EndToEnd, LabelsInstallTheScriptPackageAndOpenTheSite)
{
    Lay();
    RunningQarvel q = Start();
    Click(q.Control(window::ids::Lz4Label));
    const auto records = lab.WaitForRecords(1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].program, work + L"\\pip.exe");
    EXPECT_EQ(records[0].args, (std::vector<std::wstring>{L"pip", L"install", L"lz4"}));
    // The site goes to the default browser; Qarvel itself shows nothing and stays usable.
    for (const int label : {window::ids::AuthorLabel, window::ids::CompanyLabel}) {
        Click(q.Control(label));
        EXPECT_TRUE(q.NoMessageBox());
        EXPECT_TRUE(q.IsResponsive());
    }
    EXPECT_TRUE(q.IsRunning());
    EXPECT_TRUE(q.Close());
}

} // namespace
} // namespace qarvel::drive
