// Bad input and faults, worked from outside on the built Qarvel.exe as a person would: odd
// file names, long and odd paths, a drive root, folders that vanish, a drive that is not
// there, a busy clipboard, an interpreter that cannot start, hurried clicks, and programs
// and libraries planted beside it. Every case ends with the program still running (or closed
// cleanly), the message the user must act on, and the recorders showing that nothing was
// started that should not have been.

#include "actions/Texts.h"
#include "ExpectedTexts.h"
#include "tests/harness/Driver.h"
#include "tests/harness/Lab.h"
#include "tests/harness/WineSettings.h"
#include "win32/Paths.h"
#include "window/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

namespace qarvel::drive {
namespace {

const std::wstring PlantedDll = FromBuildPath(QARVEL_PLANTED_DLL_PATH);

using record::Record;

using expected::Format;

// The folder joined with a name the way the program joins them: one separator, always.
std::wstring Joined(const std::wstring &folder, const std::wstring &name)
{
    return folder + L"\\" + name;
}

// Deletes the files at the end of the scope, and at its start what an earlier, interrupted run
// left at the same place.
class Removed {
public:
    explicit Removed(std::vector<std::wstring> files) : files_(std::move(files)) { Remove(); }
    Removed(const Removed &) = delete;
    Removed &operator=(const Removed &) = delete;
    ~Removed() { Remove(); }

private:
    void Remove() const
    {
        for (const std::wstring &file : files_) {
            ::DeleteFileW(file.c_str());
        }
    }
    std::vector<std::wstring> files_;
};

class Faults : public testing::Test {
protected:
    Lab lab;
    // As the Python installer sets it up; a recorder stands in for Python.
    PythonAssociation python{PythonAssociation::InstalledIn(lab.Path(L"work"))};
    std::wstring program = lab.Path(L"program");
    std::wstring work = lab.Path(L"work");
    std::wstring images = lab.Path(L"images");

    // Qarvel.exe with both tools and the converter beside it.
    void LayProgram(const std::wstring &folder)
    {
        program = folder;
        ASSERT_TRUE(Lab::LayProgram(folder));
    }

    void LayWork() { ASSERT_TRUE(Lab::LayWork(work)); }

    void LayImages(const std::wstring &folder, const std::vector<std::wstring> &files)
    {
        images = folder;
        ASSERT_TRUE(MakeFolders(folder));
        // Each cue sheet names one track of the same four bytes.
        ASSERT_TRUE(WriteFile(Joined(folder, L"track.bin"), "data"));
        for (const std::wstring &file : files) {
            ASSERT_TRUE(WriteFile(Joined(folder, file),
                                  file.ends_with(L".cue") ? "FILE track.bin BINARY\r\n" : "data"))
                << file;
        }
    }

    void Lay(const std::vector<std::wstring> &files = {L"game.iso", L"game.cue"})
    {
        LayProgram(program);
        LayWork();
        LayImages(images, files);
    }

    RunningQarvel Start()
    {
        return RunningQarvel::MustStart(
            program.ends_with(L'\\') ? program + L"Qarvel.exe" : program + L"\\Qarvel.exe", work);
    }

    // Compresses the selected file with Yes and checks what reached the tool, byte for byte;
    // takes its output away, as the user would before the next run.
    void CompressSelected(RunningQarvel &q, const Format &format, const std::wstring &name,
                          size_t &recorded)
    {
        ASSERT_TRUE(q.Tick(format.box));
        Click(q.Control(window::ids::CompressButton));
        ASSERT_TRUE(q.ExpectBox(format.Confirmation(name), IDYES));
        const std::wstring input = Joined(images, name);
        // The chdman of Windows cannot open it, as its stand-in cannot.
        if (format.IsChd() && HasNonAscii(input)) {
            ASSERT_TRUE(q.ExpectBox(L"chdman ended with exit code 1 while making NEW.CHD from " +
                                        input + L", so NEW.CHD was not made.\r\n\r\n" +
                                        expected::NonAsciiPath(input),
                                    IDOK, RunningQarvel::Text::Start));
        } else {
            ASSERT_TRUE(q.ExpectBox(expected::RecorderCreated(format, name, 4, L"525"), IDOK,
                                    RunningQarvel::Text::Start));
            ASSERT_TRUE(
                q.ExpectBox(expected::NameQuestion(format), IDNO, RunningQarvel::Text::Start));
            EXPECT_TRUE(::DeleteFileW(
                win32::ExtendedLengthPath(Joined(program, L"NEW." + format.name)).c_str()));
        }
        const auto records = lab.WaitForRecords(++recorded);
        ASSERT_EQ(records.size(), recorded);
        const Record &got = records.back();
        EXPECT_EQ(got.program, Joined(work, format.tool));
        EXPECT_EQ(got.args, format.Args(input, program));
        if (!format.IsChd()) {
            EXPECT_EQ(ClipboardText(), format.Line(input, program));
        }
    }
};

// --- names ---

struct NameCase {
    const char *what;
    std::wstring name;
    std::wstring refusal = {}; // empty: the file reaches the tool
};

// Names that begin with "." are hidden files under Wine (the Unix convention) and the file
// list leaves hidden files out, so they cannot be chosen here; Windows names cannot end in
// "." (the system drops it), so no such file can be laid at all. Neither is faked.
TEST_F(Faults, NamesAreJudgedByTheirLastPieceAndReachTheToolIntact)
{
    // Qarvel.exe inherits this environment and passes it on to cmd.exe.
    ::SetEnvironmentVariableW(L"QARVEL_NEVER_SET", nullptr);
    ASSERT_TRUE(Variable(L"QARVEL_NEVER_SET").empty());
    ASSERT_FALSE(Variable(L"PATH").empty());
    const NameCase cases[] = {
        {"blanks inside", L"two  blanks here.iso"},
        {"leading blank", L" leading blank.cue"},
        {"blank before the dot", L"blank before dot .iso"},
        {"every character a name may hold", L"a%&^!();,='`~[]{}#@$+.iso"},
        {"ampersand and caret first", L"&^ first.cue"},
        {"a lone percent sign", L"100% done.iso"},
        {"an undefined variable", L"a%QARVEL_NEVER_SET%b.iso"},
        {"a defined variable", L"a%PATH%b.iso", L"%PATH%"},
        {"accented", L"caf\u00e9 cr\u00e8me.iso"},
        {"Cyrillic", L"\u0434\u0438\u0441\u043a.cue"},
        {"Japanese", L"\u30c7\u30a3\u30b9\u30af.iso"},
        {"outside the BMP", L"disc \U0001F4BF.iso"},
        {"no dot, exactly iso", L"iso"},
        {"no dot", L"readme", expected::NotAnImage},
        {"many dots", L"a.b.c.iso"},
        {"two dots in a row", L"disc..cue"},
        {"image name, other last piece", L"game.iso.txt", expected::NotAnImage},
        {"upper case", L"UPPER.ISO", expected::NotAnImage},
        {"mixed case", L"Mixed.Cue", expected::NotAnImage},
        {"last piece only starts right", L"game.isoo", expected::NotAnImage},
    };
    std::vector<std::wstring> files;
    std::ranges::transform(cases, std::back_inserter(files), &NameCase::name);
    Lay(files);
    RunningQarvel q = Start();
    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.Tick(window::ids::ChdBox));
    size_t recorded = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(q.SelectFile(c.name));
        if (c.refusal.empty()) {
            CompressSelected(q, expected::Chd, c.name, recorded);
        } else {
            Click(q.Control(window::ids::CompressButton));
            EXPECT_TRUE(q.ExpectBox(c.refusal.starts_with(L"%")
                                        ? expected::Expansion(c.refusal, Joined(images, c.name))
                                        : c.refusal,
                                    IDOK));
        }
        EXPECT_TRUE(q.NoMessageBox(300ms));
        EXPECT_EQ(WindowText(q.Control(window::ids::FileLabel)), expected::FileLabelStart + c.name);
    }
    EXPECT_EQ(lab.Records().size(), recorded) << "only accepted names reach the tool";
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_TRUE(q.Close());
}

// --- paths ---

struct PathCase {
    const char *what;
    std::wstring program;
    std::wstring images;
    std::vector<const Format *> formats;
};

TEST_F(Faults, LongAndOddPathsReachTheToolExactly)
{
    const std::wstring a(90, L'a');
    const std::wstring b = L"b \u00e9" + std::wstring(88, L'b');
    const std::wstring c(90, L'c');
    const std::wstring deep = a + L"\\" + b + L"\\" + c;
    const Format *const chd = &expected::Chd;
    const Format *const zso = &expected::Zso;
    const PathCase cases[] = {
        {"selected file deeper than 260 characters", L"program", L"images\\" + deep, {chd}},
        {"program folder deeper than 260 characters", L"program\\" + deep, L"images", {chd}},
        {"program folder with blanks, parentheses, & and a lone %",
         L"Program Files (x86)\\Q & A (1) %",
         L"images",
         {chd, zso}},
    };
    LayWork();
    size_t recorded = 0;
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        LayProgram(lab.Path(row.program));
        LayImages(lab.Path(row.images), {L"long name.iso"});
        RunningQarvel q = Start();
        EXPECT_EQ(q.OpenFolderShown(), program);
        EXPECT_TRUE(::IsWindowEnabled(q.Control(window::ids::ChdBox)));
        EXPECT_TRUE(::IsWindowEnabled(q.Control(window::ids::ZsoBox)));
        ASSERT_TRUE(q.OpenFolder(images));
        for (const Format *format : row.formats) {
            ASSERT_TRUE(q.SelectFile(L"long name.iso"));
            CompressSelected(q, *format, L"long name.iso", recorded);
        }
        EXPECT_TRUE(q.IsResponsive());
        EXPECT_TRUE(q.Close());
    }
}

// Wine's C: is the prefix's drive_c, a folder this test may write to; what it lays in the
// root is removed again whatever happens.
TEST_F(Faults, ADriveRootGivesTwoSeparatorsInARow)
{
    const Removed laid({L"C:\\Qarvel.exe", L"C:\\bin2iso.exe", L"C:\\chdman.exe", L"C:\\ziso.py",
                        L"C:\\game.iso", L"C:\\NEW.CHD"});
    LayProgram(L"C:\\");
    LayWork();
    ASSERT_TRUE(WriteFile(L"C:\\game.iso", "data"));
    RunningQarvel q = Start();
    EXPECT_EQ(q.OpenFolderShown(), L"C:\\");

    ASSERT_TRUE(q.SelectFile(L"game.iso"));
    ASSERT_TRUE(q.Tick(window::ids::ChdBox));
    Click(q.Control(window::ids::CompressButton));
    ASSERT_TRUE(q.ExpectBox(expected::Chd.Confirmation(L"game.iso"), IDYES));
    ASSERT_TRUE(q.ExpectBox(expected::RecorderCreated(expected::Chd, L"game.iso", 4, L"525"), IDOK,
                            RunningQarvel::Text::Start));
    ASSERT_TRUE(
        q.ExpectBox(expected::NameQuestion(expected::Chd), IDNO, RunningQarvel::Text::Start));
    auto records = lab.WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args,
              (std::vector<std::wstring>{L"chdman", L"createcd", L"-i", L"C:\\\\game.iso", L"-o",
                                         L"C:\\\\NEW.CHD"}));

    Click(q.Control(window::ids::ConvertButton));
    records = lab.WaitForRecords(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(EndsWithNoCase(records[1].program, L"\\bin2iso.exe")) << records[1].program;
    EXPECT_EQ(records[1].args, std::vector<std::wstring>{L"C:\\\\bin2iso.exe"});
    EXPECT_TRUE(q.NoMessageBox());
    EXPECT_TRUE(q.Close());
}

// --- faults ---

TEST_F(Faults, TheOpenFolderDeletedWhileShown)
{
    Lay();
    ASSERT_TRUE(MakeFolders(Joined(images, L"sub")));
    RunningQarvel q = Start();
    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.SelectFile(L"game.iso"));
    ASSERT_TRUE(q.Tick(window::ids::ChdBox));
    RemoveTree(images);
    ASSERT_EQ(::GetFileAttributesW(images.c_str()), INVALID_FILE_ATTRIBUTES);

    // Still listed, no longer there: the tool is not given a path that names nothing.
    Click(q.Control(window::ids::CompressButton));
    EXPECT_TRUE(q.ExpectBox(expected::FileGone(Joined(images, L"game.iso")), IDOK));
    EXPECT_TRUE(q.NoMessageBox());

    // Another entry of the vanished folder: named in a message, the lists as they were.
    const HWND folderList = q.Control(window::ids::FolderList);
    const auto entries = ListItems(folderList);
    const int sub = IndexOf(entries, L"sub");
    ASSERT_GE(sub, 0);
    ClickListItem(folderList, sub, 2);
    const auto box = q.WaitForMessageBox();
    ASSERT_TRUE(box.has_value()) << "opening a vanished folder says so";
    EXPECT_NE(box->text.find(L"\"" + Joined(images, L"sub") + L"\""), std::wstring::npos)
        << box->text;
    ASSERT_TRUE(q.Answer(*box, IDOK));
    EXPECT_EQ(ListItems(folderList), entries);
    EXPECT_EQ(q.OpenFolderShown(), images);

    // The lists stay usable: the working folder opens and lists its files.
    ASSERT_TRUE(q.OpenFolder(work));
    EXPECT_GE(IndexOf(ListItems(q.Control(window::ids::FileList)), L"chdman.exe"), 0);
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_TRUE(lab.Records().empty());
    EXPECT_TRUE(q.Close());
}

// True when any process shows a dialog box: the system's own error boxes do not belong to the
// program that caused them.
bool AnyDialogShown()
{
    return std::ranges::any_of(TopWindows(), [](HWND window) {
        return ::IsWindowVisible(window) && ClassName(window) == L"#32770";
    });
}

// The drive letter comes from the test's wrapper, which points it at a folder that does not
// exist before Wine starts (Wine reads its drives once per session). Wine reports such a
// drive as "path not found"; Windows reports an empty removable drive as "not ready".
TEST_F(Faults, ADriveThatIsNotThere)
{
    const std::wstring letter = Variable(L"QARVEL_MISSING_DRIVE");
    if (letter.empty()) {
        GTEST_SKIP() << "run through tests/e2e/with-faulty-places to have a drive with no target";
    }
    const std::wstring root = letter + L"\\";
    Lay();
    RunningQarvel q = Start();
    const HWND driveList = q.Control(window::ids::DriveList);
    ASSERT_GE(IndexOf(ComboItems(driveList), root), 0) << "the drive list offers the drive";
    const std::wstring shownRoot = ComboShown(driveList);
    ASSERT_FALSE(shownRoot.empty());
    const auto dirBefore = ListItems(q.Control(window::ids::FolderList));
    const auto filesBefore = ListItems(q.Control(window::ids::FileList));

    // As a person does: open the drop-down and type the drive's letter, which picks it.
    Click(driveList);
    ASSERT_TRUE(
        WaitFor([&] { return ::SendMessageW(driveList, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3s));
    PressKey(static_cast<WORD>(letter[0])); // the wrapper gives an upper-case letter
    const auto box = q.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    const std::wstring unreadable = expected::FolderUnreadable(root, L"");
    const std::wstring head = unreadable.substr(0, unreadable.find(L"\n\n") + 2);
    const std::wstring tail = unreadable.substr(head.size());
    EXPECT_TRUE(box->text.starts_with(head) && box->text.ends_with(tail) &&
                box->text.size() > unreadable.size())
        << box->text;
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(AnyDialogShown()) << "the look-out below sees boxes";
    ASSERT_TRUE(q.Answer(*box, IDOK));
    EXPECT_TRUE(q.NoMessageBox()) << "no second box";
    EXPECT_FALSE(AnyDialogShown()) << "no box of the system's either";
    EXPECT_EQ(ListItems(q.Control(window::ids::FolderList)), dirBefore);
    EXPECT_EQ(ListItems(q.Control(window::ids::FileList)), filesBefore);
    EXPECT_EQ(ComboShown(driveList), shownRoot);
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_TRUE(q.Close());
}

// The folder comes from the test's wrapper: a read-only view of another folder, which the test
// fills (as root, a folder's permissions would not stop the writes). So Qarvel runs as it does
// unpacked under Program Files.
TEST_F(Faults, AProgramFolderItCannotWriteTo)
{
    const std::wstring folder = Variable(L"QARVEL_READ_ONLY_FOLDER");
    if (folder.empty()) {
        GTEST_SKIP() << "run through tests/e2e/with-faulty-places to have a read-only folder";
    }
    const std::wstring source = Variable(L"QARVEL_READ_ONLY_SOURCE");
    LayProgram(source);
    LayImages(Joined(source, L"images"), {L"game.iso"});
    program = folder;
    images = Joined(folder, L"images");
    LayWork();
    RunningQarvel q = Start();
    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.SelectFile(L"game.iso"));
    for (const Format *format : {&expected::Chd, &expected::Zso}) {
        ASSERT_TRUE(q.Tick(format->box));
        Click(q.Control(window::ids::CompressButton));
        EXPECT_TRUE(q.ExpectBox(
            expected::FolderNotWritable(format->Tool(), L"NEW." + format->name, folder), IDOK));
        EXPECT_TRUE(q.NoMessageBox());
    }
    EXPECT_TRUE(q.Close());
    EXPECT_TRUE(lab.Records().empty());
}

struct HoldCase {
    const char *what;
    DWORD holdMs;
    bool copied;
};

TEST_F(Faults, AClipboardHeldByAnotherProgram)
{
    Lay();
    RunningQarvel q = Start();
    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.SelectFile(L"game.iso"));
    ASSERT_TRUE(q.Tick(window::ids::ZsoBox));
    const HoldCase cases[] = {
        {"held longer than the program waits", 4000, false},
        {"held for a moment", 100, true},
    };
    const std::wstring line = expected::Zso.Line(Joined(images, L"game.iso"), program);
    size_t recorded = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SetClipboard(L"before"));
        Click(q.Control(window::ids::CompressButton));
        const auto ask = q.WaitForMessageBox();
        ASSERT_TRUE(ask.has_value());
        ASSERT_EQ(ask->text, expected::Zso.Confirmation(L"game.iso"));
        {
            ClipboardHolder holder(c.holdMs);
            ASSERT_TRUE(holder.Held());
            ASSERT_TRUE(q.Answer(*ask, IDYES));
            // The compression starts whether or not the line could be copied.
            if (!c.copied) {
                EXPECT_TRUE(q.ExpectBox(expected::ClipboardFailed, IDOK));
            }
            EXPECT_TRUE(
                q.ExpectBox(expected::RecorderCreated(expected::Zso, L"game.iso", 4, L"525"), IDOK,
                            RunningQarvel::Text::Start));
            EXPECT_TRUE(q.ExpectBox(expected::NameQuestion(expected::Zso), IDNO,
                                    RunningQarvel::Text::Start));
            EXPECT_TRUE(q.NoMessageBox());
            EXPECT_TRUE(::DeleteFileW(Joined(program, L"NEW.ZSO").c_str()));
        }
        const auto records = lab.WaitForRecords(++recorded);
        ASSERT_EQ(records.size(), recorded);
        EXPECT_EQ(records.back().args, expected::Zso.Args(Joined(images, L"game.iso"), program));
        EXPECT_EQ(ClipboardText(), c.copied ? line : L"before");
    }
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_TRUE(q.Close());
}

// Moves the system's cmd.exe aside for the scope. Should the test die on the way, the
// test's wrapper puts it back.
class InterpreterAway {
public:
    InterpreterAway()
    {
        std::wstring system(MAX_PATH, L'\0');
        system.resize(::GetSystemDirectoryW(system.data(), MAX_PATH));
        path_ = system + L"\\cmd.exe";
        aside_ = path_ + L".qarvel-away";
        moved_ = ::MoveFileExW(path_.c_str(), aside_.c_str(), 0) != FALSE;
    }
    InterpreterAway(const InterpreterAway &) = delete;
    InterpreterAway &operator=(const InterpreterAway &) = delete;
    ~InterpreterAway()
    {
        if (moved_) {
            ::MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    bool Moved() const { return moved_; }

private:
    std::wstring path_;
    std::wstring aside_;
    bool moved_ = false;
};

struct UnstartableCase {
    const char *what;
    int control;
    int tick;
    std::wstring confirmation;
};

TEST_F(Faults, AnInterpreterThatCannotStart)
{
    Lay();
    RunningQarvel q = Start();
    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.SelectFile(L"game.iso"));
    const UnstartableCase cases[] = {
        {"CHD", window::ids::CompressButton, window::ids::ChdBox,
         expected::Chd.Confirmation(L"game.iso")},
        {"ZSO", window::ids::CompressButton, window::ids::ZsoBox,
         expected::Zso.Confirmation(L"game.iso")},
        {"BIN2ISO", window::ids::ConvertButton, 0, L""},
        {"lz4 label", window::ids::Lz4Label, 0, L""},
    };
    {
        const InterpreterAway away;
        ASSERT_TRUE(away.Moved());
        for (const auto &c : cases) {
            SCOPED_TRACE(c.what);
            if (c.tick != 0) {
                ASSERT_TRUE(q.Tick(c.tick));
            }
            Click(q.Control(c.control));
            if (!c.confirmation.empty()) {
                ASSERT_TRUE(q.ExpectBox(c.confirmation, IDYES));
            }
            EXPECT_TRUE(q.ExpectBox(expected::LaunchFailed, IDOK)) << "and no report of success";
            EXPECT_TRUE(q.NoMessageBox());
        }
    }
    EXPECT_TRUE(lab.Records().empty());
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_TRUE(q.Close());
}

TEST_F(Faults, ButtonsPressedManyTimesInARow)
{
    Lay();
    RunningQarvel q = Start();
    for (int i = 0; i < 10; ++i) {
        Click(q.Control(window::ids::ConvertButton));
    }
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_EQ(lab.WaitForRecords(10).size(), 10u);

    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.SelectFile(L"game.cue"));
    ASSERT_TRUE(q.Tick(window::ids::ChdBox));
    // Each run is told, once it has ended, before the next press.
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        Click(q.Control(window::ids::CompressButton));
        ASSERT_TRUE(q.ExpectBox(expected::Chd.Confirmation(L"game.cue"), IDYES));
        ASSERT_TRUE(q.ExpectBox(expected::RecorderCreated(expected::Chd, L"game.cue", 4, L"525"),
                                IDOK, RunningQarvel::Text::Start));
        ASSERT_TRUE(
            q.ExpectBox(expected::NameQuestion(expected::Chd), IDNO, RunningQarvel::Text::Start));
        ASSERT_TRUE(::DeleteFileW(Joined(program, L"NEW.CHD").c_str()));
    }
    EXPECT_TRUE(q.IsResponsive());
    EXPECT_EQ(lab.WaitForRecords(15).size(), 15u);
    // Nothing more arrives late.
    ::Sleep(1500);
    EXPECT_EQ(lab.RecordsOf(L"\\bin2iso.exe").size(), 10u);
    EXPECT_EQ(lab.RecordsOf(L"\\chdman.exe").size(), 5u);
    EXPECT_EQ(lab.Records().size(), 15u);
    EXPECT_TRUE(q.Close());
}

// --- planting ---

// A cmd.exe beside the program or in its working folder never runs in place of the system's,
// and libraries planted beside Qarvel.exe under system names are never loaded, through a whole
// start, compress, convert and close.
//
// Wine loads its own built-in uxtheme.dll and version.dll even when a file of that name lies
// beside the program, so under Wine's defaults nothing planted would ever be loaded, whatever
// Qarvel.exe does. For Qarvel.exe alone, Wine is asked to take uxtheme.dll from beside it first,
// the way Windows searches the program's folder first. version.dll cannot be: Wine's
// own user32.dll imports it, which Windows' does not, so native-first would load it into every
// program under Wine. Under Wine it therefore passes trivially; it guards the Windows build.
TEST_F(Faults, NothingPlantedBesideItRuns)
{
    Lay();
    ASSERT_TRUE(CopyInto(RecorderExe(), Joined(program, L"cmd.exe")));
    ASSERT_TRUE(CopyInto(RecorderExe(), Joined(work, L"cmd.exe")));
    for (const wchar_t *library : {L"version.dll", L"uxtheme.dll"}) {
        ASSERT_TRUE(CopyInto(PlantedDll, Joined(program, library)));
    }
    std::optional<RegistryValue> nativeFirst;
    if (UnderWine()) {
        nativeFirst.emplace(HKEY_CURRENT_USER,
                            L"Software\\Wine\\AppDefaults\\Qarvel.exe\\DllOverrides", L"uxtheme",
                            std::wstring(L"native,builtin"));
        ASSERT_TRUE(nativeFirst->IsSet());
    }
    // Each library and the program it was loaded into, once.
    const auto loaded = [&] {
        std::set<std::wstring> found;
        for (const Record &r : lab.RecordsOf(L".dll")) {
            found.insert(r.program + L" into " + (r.args.empty() ? L"?" : r.args[0]));
        }
        return found;
    };
    std::optional<RunningQarvel> started =
        RunningQarvel::Start(Joined(program, L"Qarvel.exe"), work);
    ASSERT_EQ(loaded(), std::set<std::wstring>{}) << "planted libraries were loaded";
    ASSERT_TRUE(started.has_value()) << "Qarvel.exe did not start";
    RunningQarvel &q = *started;

    ASSERT_TRUE(q.OpenFolder(images));
    ASSERT_TRUE(q.SelectFile(L"game.iso"));
    size_t recorded = 0;
    CompressSelected(q, expected::Chd, L"game.iso", recorded);
    CompressSelected(q, expected::Zso, L"game.iso", recorded);
    Click(q.Control(window::ids::ConvertButton));
    Click(q.Control(window::ids::Lz4Label));
    lab.WaitForRecords(4);
    EXPECT_TRUE(q.Close());

    ::Sleep(500);
    EXPECT_EQ(loaded(), std::set<std::wstring>{}) << "planted libraries were loaded";
    EXPECT_TRUE(lab.RecordsOf(L"\\cmd.exe").empty()) << "a planted interpreter ran";
    EXPECT_EQ(lab.RecordsOf(L"\\chdman.exe").size(), 1u);
    EXPECT_EQ(lab.RecordsOf(L"\\ziso.py.exe").size(), 1u);
    EXPECT_EQ(lab.RecordsOf(L"\\bin2iso.exe").size(), 1u);
    EXPECT_EQ(lab.RecordsOf(L"\\pip.exe").size(), 1u);
}

} // namespace
} // namespace qarvel::drive
