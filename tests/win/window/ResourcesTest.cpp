// What Qarvel.exe says about itself: its version record, its manifest and its icon.

#include "tests/harness/Lab.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace qarvel::test {
namespace {

struct FreeModule {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule>;

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
    const std::wstring path = drive::QarvelExe();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version record, error " << ::GetLastError();
    std::vector<BYTE> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0u);
    EXPECT_EQ(fixed->dwFileVersionLS, 1u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0u);
    EXPECT_EQ(fixed->dwProductVersionLS, 1u);

    struct Translation {
        WORD language;
        WORD codePage;
    } *translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void **>(&translation), &length));
    EXPECT_EQ(translation->language, 0x0409); // US English
    EXPECT_EQ(translation->codePage, 1200);   // Unicode

    const std::pair<const wchar_t *, const wchar_t *> strings[] = {
        {L"ProductName", L"Qarvel"},          {L"InternalName", L"Qarvel"},
        {L"OriginalFilename", L"Qarvel.exe"}, {L"CompanyName", L"x"},
        {L"FileVersion", L"0.00.0001"},       {L"ProductVersion", L"0.00.0001"},
    };
    for (const auto &[name, expected] : strings) {
        SCOPED_TRACE(name);
        wchar_t *value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(::VerQueryValueW(record.data(), query.c_str(),
                                     reinterpret_cast<void **>(&value), &length));
        EXPECT_STREQ(value, expected);
    }
}

TEST(ProgramResources, ManifestAndIcon)
{
    const Module program(
        ::LoadLibraryExW(drive::QarvelExe().c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_NE(program, nullptr) << "error " << ::GetLastError();
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
