// The release as a user unpacks it (release_reproducible unpacks the zip into a folder whose
// name has blanks, "(x86)" and a non-ASCII letter): its Qarvel.exe, started from its own
// folder with only what the zip holds beside it.

#include "app/Version.h"
#include "tests/harness/Driver.h"
#include "tests/harness/Lab.h"
#include "window/ControlIds.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace qarvel::drive {
namespace {

const std::wstring Unpacked = FromBuildPath(QARVEL_RELEASE_FOLDER);
const std::wstring Exe = Unpacked + L"\\Qarvel.exe";

struct ControlCase {
    int id;
    std::wstring caption;
    bool enabled;
};

TEST(UnpackedRelease, StartsWithZsoOnlyBesideItAndTheUsualCaptions)
{
    auto q = RunningQarvel::Start(Exe, Unpacked);
    ASSERT_TRUE(q) << "Qarvel.exe did not start or showed no window";
    // ziso.py is in the zip, chdman.exe is not.
    const ControlCase cases[] = {
        {window::ids::ChdBox, L"CHD", false},
        {window::ids::ZsoBox, L"ZSO", true},
        {window::ids::CompressButton, L" iSO", true},
        {window::ids::ConvertButton, L"BIN2ISO", true},
        {window::ids::FileLabel, L"File: Not Set", true},
        {window::ids::AuthorLabel, L"Written by Mordwin", true},
        {window::ids::CompanyLabel, L"Halvoren", true},
        {window::ids::Lz4Label, L"pip install lz4", true},
    };
    EXPECT_EQ(WindowText(q->Window()), L"Qarvel Compression Tool v0.1 ");
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.caption);
        EXPECT_EQ(WindowText(q->Control(c.id)), c.caption);
        EXPECT_EQ(::IsWindowEnabled(q->Control(c.id)) != FALSE, c.enabled);
    }
    EXPECT_EQ(q->OpenFolderShown(), Unpacked);
    const auto files = ListItems(q->Control(window::ids::FileList));
    EXPECT_EQ(std::set<std::wstring>(files.begin(), files.end()),
              (std::set<std::wstring>{L"LICENSE.txt", L"Qarvel.exe", L"README.txt", L"ziso.py"}));
    EXPECT_TRUE(q->Close());
}

struct VersionStringCase {
    const wchar_t *name;
    std::wstring value;
};

TEST(UnpackedRelease, CarriesTheVersionRecord)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(Exe.c_str(), &ignored);
    ASSERT_NE(size, 0U) << "no version record in " << testing::PrintToString(Exe);
    std::vector<BYTE> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(Exe.c_str(), 0, size, record.data()));

    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", &value, &length));
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    constexpr WORD numbers[] = {QARVEL_VERSION_NUMBERS};
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(numbers[1], numbers[0])));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(numbers[3], numbers[2])));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    const auto *translation = static_cast<const WORD *>(value);
    EXPECT_EQ(translation[0], 0x0409); // US English
    EXPECT_EQ(translation[1], 1200);   // Unicode

    const VersionStringCase cases[] = {
        {L"FileVersion", L"" QARVEL_VERSION_TEXT},
        {L"ProductVersion", L"" QARVEL_VERSION_TEXT},
        {L"ProductName", L"Qarvel"},
        {L"InternalName", L"Qarvel"},
        {L"OriginalFilename", L"Qarvel.exe"},
        {L"CompanyName", L"x"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.name));
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + c.name;
        ASSERT_TRUE(::VerQueryValueW(record.data(), path.c_str(), &value, &length));
        EXPECT_EQ(std::wstring(static_cast<const wchar_t *>(value)), c.value);
    }
}

} // namespace
} // namespace qarvel::drive
