// The release as a user unpacks it (release_reproducible unpacks the zip into a folder whose
// name has blanks, "(x86)" and a non-ASCII letter): its Qarvel.exe, started from its own
// folder with only what the zip holds beside it.

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

TEST(UnpackedRelease, CarriesTheVersionRecord)
{
    ExpectVersionRecord(Exe);
}

} // namespace
} // namespace qarvel::drive
