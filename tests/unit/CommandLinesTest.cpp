// Name cutting, the image test and the exact composed command lines.

#include "actions/Preflight.h"
#include "actions/Texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qarvel {
namespace {

using Pieces = std::vector<std::wstring>;

struct NameCase {
    const wchar_t *name;
    Pieces pieces;
    bool image;
};

TEST(SplitName, CutsAtEveryDotKeepingEmptyPiecesAndTestsTheLastOne)
{
    const NameCase cases[] = {
        {L"game.cue", {L"game", L"cue"}, true},
        {L"my.game.disc.iso", {L"my", L"game", L"disc", L"iso"}, true},
        {L"a..iso", {L"a", L"", L"iso"}, true},
        {L"iso", {L"iso"}, true},
        {L".iso", {L"", L"iso"}, true},
        {L"game name.iso", {L"game name", L"iso"}, true},
        {L"GAME.ISO", {L"GAME", L"ISO"}, false},
        {L"game.Iso", {L"game", L"Iso"}, false},
        {L"game.CUE", {L"game", L"CUE"}, false},
        {L"game.iso.bak", {L"game", L"iso", L"bak"}, false},
        {L"game.iso.", {L"game", L"iso", L""}, false},
        {L"game.bin", {L"game", L"bin"}, false},
        {L"game.isoo", {L"game", L"isoo"}, false},
        {L"readme", {L"readme"}, false},
        {L".", {L"", L""}, false},
        {L"", {}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "name \"" << std::wstring(c.name) << "\"");
        const Pieces pieces = SplitName(c.name);
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(IsImagePieces(pieces), c.image);
    }
}

struct LineCase {
    const wchar_t *input;
    const wchar_t *programDirectory;
    const wchar_t *chd;
    const wchar_t *zso;
};

TEST(CompressCommands, AreComposedByteForByte)
{
    const LineCase cases[] = {
        {L"D:\\rips\\game.iso", L"C:\\tools",
         L"cmd.exe /c chdman createcd -i \"D:\\rips\\game.iso\" -o \"C:\\tools\\NEW.CHD\"",
         L"cmd.exe /c ziso.py -c 1 \"D:\\rips\\game.iso\" \"C:\\tools\\NEW.ZSO\""},
        // Drive roots: the root's own separator and the appended one stand in a row.
        {L"C:\\\\game.iso", L"C:\\",
         L"cmd.exe /c chdman createcd -i \"C:\\\\game.iso\" -o \"C:\\\\NEW.CHD\"",
         L"cmd.exe /c ziso.py -c 1 \"C:\\\\game.iso\" \"C:\\\\NEW.ZSO\""},
        // Blanks and special characters pass unchanged inside the quotes.
        {L"E:\\my rips (1)\\a&b %x% é.cue", L"C:\\Program Files (x86)\\Q",
         L"cmd.exe /c chdman createcd -i \"E:\\my rips (1)\\a&b %x% é.cue\" -o "
         L"\"C:\\Program Files (x86)\\Q\\NEW.CHD\"",
         L"cmd.exe /c ziso.py -c 1 \"E:\\my rips (1)\\a&b %x% é.cue\" "
         L"\"C:\\Program Files (x86)\\Q\\NEW.ZSO\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.input));
        EXPECT_EQ(CompressCommand(Chd, c.input, c.programDirectory), c.chd);
        EXPECT_EQ(CompressCommand(Zso, c.input, c.programDirectory), c.zso);
    }
}

TEST(JoinWithBackslash, AppendsOneSeparatorUnconditionally)
{
    EXPECT_EQ(JoinWithBackslash(L"D:\\rips", L"game.cue"), L"D:\\rips\\game.cue");
    EXPECT_EQ(JoinWithBackslash(L"C:\\", L"game.iso"), L"C:\\\\game.iso");
    EXPECT_EQ(JoinWithBackslash(L"D:\\rips", L""), L"D:\\rips\\");
}

TEST(LaunchCommands, AreComposedByteForByte)
{
    EXPECT_EQ(ConvertCommand(L"C:\\tools"), L"cmd.exe /c \"\"C:\\tools\\bin2iso.exe\"\"");
    EXPECT_EQ(ConvertCommand(L"C:\\"), L"cmd.exe /c \"\"C:\\\\bin2iso.exe\"\"");
    EXPECT_EQ(ConvertCommand(L"C:\\Program Files (x86)\\Q"),
              L"cmd.exe /c \"\"C:\\Program Files (x86)\\Q\\bin2iso.exe\"\"");
}

TEST(SiteAddress, IsSecureAndSafeForTheInterpreter)
{
    const std::wstring address = texts::SiteAddress;
    EXPECT_EQ(address.rfind(L"https://", 0), 0U);
    EXPECT_GT(address.size(), std::wstring(L"https://").size());
    EXPECT_EQ(address.find_first_of(L" \t&|<>^%()\"!"), std::wstring::npos);
}

TEST(FindExpansion, FindsEveryTextTheInterpreterWouldReplace)
{
    const auto isVariable = [](const std::wstring &name) {
        return name == L"PATH" || name == L"=C:" || name == L"TEMP";
    };
    const std::pair<const wchar_t *, const wchar_t *> cases[] = {
        {L"cmd.exe /c chdman -i \"D:\\a%PATH%b.iso\"", L"%PATH%"},
        {L"\"D:\\%PATH:~0,3%.iso\"", L"%PATH:~0,3%"},
        {L"\"D:\\%=C:%.iso\"", L"%=C:%"},
        // However the interpreter pairs the signs, a variable behind an unknown name is found.
        {L"\"D:\\%nothing%TEMP%.iso\"", L"%TEMP%"},
        {L"\"D:\\100% done.iso\"", L""},
        {L"\"D:\\%nothing% and %none%.iso\"", L""},
        {L"\"D:\\%%.iso\"", L""},
        {L"\"D:\\path.iso\"", L""},
    };
    for (const auto &[line, found] : cases) {
        EXPECT_EQ(FindExpansion(line, isVariable), found) << std::wstring(line);
    }
}

TEST(Preflight, ReadsTheTrackFilesOfACueSheetAndTheProgramOfAnOpener)
{
    EXPECT_EQ(CueSheetFiles(L"REM x\r\nFILE \"a b.bin\" BINARY\n  file c.bin BINARY\r\nFILES d\r\n"
                            L"\tFILE \"E:\\e.wav\" WAVE\rFILE"),
              (std::vector<std::wstring>{L"a b.bin", L"c.bin", L"E:\\e.wav"}));
    EXPECT_EQ(CueFilePath(L"D:\\rips", L"a.bin"), L"D:\\rips\\a.bin");
    EXPECT_EQ(NamedAfterImage(L"my.game.iso", Chd), L"my.game.chd");
    EXPECT_EQ(NamedAfterImage(L"iso", Zso), L"zso");
    EXPECT_EQ(CueFilePath(L"D:\\rips", L"\\\\srv\\a.bin"), L"\\\\srv\\a.bin");
    const struct {
        const wchar_t *command;
        const wchar_t *program;
        bool python;
        bool arguments;
    } openers[] = {
        {L"\"C:\\Windows\\py.exe\" \"%L\" %*", L"C:\\Windows\\py.exe", true, true},
        {L"C:\\Program Files\\Python312\\python.exe \"%1\" %*",
         L"C:\\Program Files\\Python312\\python.exe", true, true},
        {L"\"C:\\P\\PYTHONW3.12.EXE\" \"%1\" %2", L"C:\\P\\PYTHONW3.12.EXE", true, true},
        {L"C:\\Windows\\pyw.exe \"%1\"", L"C:\\Windows\\pyw.exe", true, false},
        {L"notepad.exe \"%1\"", L"notepad.exe", false, false},
        {L"\"C:\\Py\\python.cmd\" \"%1\" %*", L"C:\\Py\\python.cmd", false, true},
        {L"\"C:\\Py\\mypython.exe\" %1 %*", L"C:\\Py\\mypython.exe", false, true},
    };
    for (const auto &o : openers) {
        SCOPED_TRACE(testing::Message() << std::wstring(o.command));
        EXPECT_EQ(OpenerProgram(o.command), o.program);
        EXPECT_EQ(IsPythonProgram(o.program), o.python);
        EXPECT_EQ(PassesArguments(o.command), o.arguments);
    }
}

} // namespace
} // namespace qarvel
