// The file test and the program directory.

#include "host/win/Files.h"
#include "host/win/ProgramDirectory.h"
#include "host/win/WinHost.h"
#include "tests/harness/Lab.h"
#include "win32/Handles.h"
#include "win32/Paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qarvel::drive {
namespace {

TEST(Files, ExistsForFilesOnly)
{
    const Lab folder;
    ASSERT_TRUE(WriteFile(folder.Path(L"Game.iso")));
    ASSERT_TRUE(MakeFolders(folder.Path(L"chdman.exe")));

    // Deep enough that the full path passes 260 characters.
    const std::wstring deep = folder.Path(L"Ünïcödé folder with a rather long name, part one\\"
                                          L"and a second piece that is just as long as the first\\"
                                          L"a third piece, so that the total is well beyond the "
                                          L"limit\\the fourth and last piece of this deliberately "
                                          L"deep path");
    ASSERT_TRUE(MakeFolders(deep)) << ::GetLastError();
    const std::wstring deepFile = deep + L"\\Disc 1 (x86) & more.cue";
    ASSERT_GT(deepFile.size(), 260u);
    ASSERT_TRUE(WriteFile(deepFile));
    std::wstring deepFileUpper = deepFile;
    ::CharUpperBuffW(deepFileUpper.data(), static_cast<DWORD>(deepFileUpper.size()));

    const std::pair<std::wstring, bool> cases[] = {
        {folder.Path(L"Game.iso"), true},
        {folder.Path(L"GAME.ISO"), true},
        {folder.Path(L"game.iso"), true},
        {folder.Root() + L"\\\\Game.iso", true}, // as a program kept in a drive root probes
        {folder.Path(L"Game.is"), false},
        {folder.Path(L"missing\\Game.iso"), false},
        {folder.Path(L"chdman.exe"), false}, // a folder is not a file
        {folder.Root(), false},
        {deepFile, true},
        {deepFileUpper, true},
        {deep, false},
        {deep + L"\\missing.cue", false},
        {L"", false},
    };
    host::WinHost host;
    for (const auto &[path, exists] : cases) {
        EXPECT_EQ(host.FileExists(path), exists) << path;
    }
}

TEST(Files, SizesHeldFilesDeletionWritableFoldersAndFileTypes)
{
    const Lab folder;
    const std::wstring file = folder.Path(L"NEW.CHD");
    ASSERT_TRUE(WriteFile(file, "12345"));
    host::WinHost host;
    EXPECT_EQ(host.FileSize(file), std::optional<std::uint64_t>(5));
    EXPECT_EQ(host.FileSize(folder.Root()), std::nullopt);
    EXPECT_EQ(host.FileSize(folder.Path(L"missing")), std::nullopt);
    {
        // Held as a tool holds its output while it writes.
        const win32::UniqueFile held(::CreateFileW(file.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_TRUE(host.IsFileInUse(file));
        EXPECT_FALSE(host.RemoveFile(file));
        EXPECT_TRUE(host.FileExists(file));
    }
    EXPECT_FALSE(host.IsFileInUse(file));
    EXPECT_TRUE(host.RemoveFile(file));
    EXPECT_FALSE(host.PathExists(file));

    EXPECT_TRUE(host.CanWriteInFolder(folder.Root()));
    EXPECT_TRUE(host.CanWriteInFolder(folder.Root() + L"\\")); // a drive root's form
    EXPECT_FALSE(host.CanWriteInFolder(folder.Path(L"missing")));
    WIN32_FIND_DATAW found{};
    const win32::UniqueFind left(::FindFirstFileW(folder.Path(L"*.tmp").c_str(), &found));
    EXPECT_FALSE(left) << "the probe is gone: " << found.cFileName;
    EXPECT_FALSE(host.OpenerOf(L".qarvel-nothing-opens-this").found);

    // What a killed ziso.py leaves is found by its pattern; a folder of such a name is not.
    ASSERT_TRUE(WriteFile(folder.Path(L"~ziso-abcd1234.tmp")) &&
                WriteFile(folder.Path(L"~ziso-ab.tmp")));
    ASSERT_TRUE(MakeFolders(folder.Path(L"~ziso-folder12.tmp")));
    EXPECT_EQ(host.FilesIn(folder.Root(), L"~ziso-????????.tmp"),
              std::vector<std::wstring>{L"~ziso-abcd1234.tmp"});
    // A UTF-8 text without its byte-order mark; any other text in the ANSI code page.
    ASSERT_TRUE(WriteFile(folder.Path(L"a.cue"), "\xEF\xBB\xBF"
                                                 "FILE \xC3\xA9.bin") &&
                WriteFile(folder.Path(L"b.cue"), "FILE \xE9.bin"));
    const TextFile utf8 = host.ReadTextFile(folder.Path(L"a.cue"), 100);
    EXPECT_TRUE(utf8.byteOrderMark && utf8.text == L"FILE \u00e9.bin");
    EXPECT_EQ(host.ReadTextFile(folder.Path(L"b.cue"), 100).text, L"FILE \u00e9.bin");
    EXPECT_EQ(host.ReadTextFile(folder.Path(L"b.cue"), 9).status, TextFile::Status::TooLarge);
}

TEST(Files, ExtendedLengthForm)
{
    const std::pair<const wchar_t *, const wchar_t *> cases[] = {
        {L"C:\\tools\\chdman.exe", L"\\\\?\\C:\\tools\\chdman.exe"},
        {L"C:\\\\chdman.exe", L"\\\\?\\C:\\chdman.exe"},
        {L"C:/tools/old/../ziso.py", L"\\\\?\\C:\\tools\\ziso.py"},
        {L"\\\\server\\share\\tools\\ziso.py", L"\\\\?\\UNC\\server\\share\\tools\\ziso.py"},
        {L"\\\\?\\C:\\tools\\chdman.exe", L"\\\\?\\C:\\tools\\chdman.exe"},
        {L"\\\\?\\UNC\\server\\share\\a", L"\\\\?\\UNC\\server\\share\\a"},
    };
    for (const auto &[path, extended] : cases) {
        EXPECT_EQ(win32::ExtendedLengthPath(path), extended) << path;
    }
}

TEST(ProgramDirectory, IsTheFolderOfThisProgram)
{
    host::WinHost host;
    EXPECT_EQ(host.ProgramDirectory(), FromBuildPath(QARVEL_TEST_PROGRAM_DIR));
}

TEST(ProgramDirectory, FolderOfAnExecutablePath)
{
    const std::pair<const wchar_t *, const wchar_t *> cases[] = {
        {L"C:\\tools\\Qarvel.exe", L"C:\\tools"},
        {L"C:\\Qarvel.exe", L"C:\\"},
        {L"C:\\Program Files (x86)\\Q & A\\Qarvel.exe", L"C:\\Program Files (x86)\\Q & A"},
        {L"\\\\?\\C:\\tools\\Qarvel.exe", L"C:\\tools"},
        {L"\\\\?\\D:\\Qarvel.exe", L"D:\\"},
        {L"\\\\?\\UNC\\server\\share\\tools\\Qarvel.exe", L"\\\\server\\share\\tools"},
        {L"\\\\server\\share\\Qarvel.exe", L"\\\\server\\share"},
    };
    for (const auto &[executable, directory] : cases) {
        EXPECT_EQ(host::DirectoryOfExecutable(executable), directory) << executable;
    }
}

} // namespace
} // namespace qarvel::drive
