// What Qarvel.exe says about itself: its version record, its manifest and its icon.

#include "tests/harness/Lab.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qarvel::test {
namespace {

std::string Resource(HMODULE module, const wchar_t *type, const wchar_t *name)
{
    const HRSRC found = ::FindResourceW(module, name, type);
    const auto *bytes =
        found == nullptr ? nullptr
                         : static_cast<const char *>(::LockResource(::LoadResource(module, found)));
    return bytes == nullptr ? std::string{} : std::string(bytes, ::SizeofResource(module, found));
}

TEST(ProgramResources, VersionRecord)
{
    drive::ExpectVersionRecord(drive::QarvelExe());
}

TEST(ProgramResources, ManifestAndIcon)
{
    const win32::UniqueModule program(
        ::LoadLibraryExW(drive::QarvelExe().c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program) << "error " << ::GetLastError();
    const std::string manifest = Resource(program.get(), RT_MANIFEST, MAKEINTRESOURCEW(1));
    for (const char *wanted :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "asInvoker", ">PerMonitorV2<",
          ">true/pm<", "<longPathAware", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
    // One icon group with the four sizes.
    const std::string group = Resource(program.get(), RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), 6u);
    const auto count = static_cast<unsigned char>(group[4]);
    EXPECT_EQ(count, 4);
    std::vector<int> widths;
    for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= group.size(); ++i) {
        const auto width = static_cast<unsigned char>(group[6 + 14 * i]);
        widths.push_back(width == 0 ? 256 : width);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 32, 48, 256}));
}

} // namespace
} // namespace qarvel::test
