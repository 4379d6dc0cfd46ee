// What Qarvel.exe says about itself: its version record, its manifest and its icon.

#include "win32/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qarvel::test {
namespace {

std::wstring ProgramPath()
{
    // The build places Qarvel.exe at a Unix path; Wine shows the Unix root as drive Z:.
    std::wstring path = L"Z:" QARVEL_PROGRAM_PATH;
    for (wchar_t &c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return path;
}

class ProgramModule {
public:
    ProgramModule()
        : module_(::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ProgramModule(const ProgramModule &) = delete;
    ProgramModule &operator=(const ProgramModule &) = delete;
    ~ProgramModule()
    {
        if (module_ != nullptr) {
            ::FreeLibrary(module_);
        }
    }
    HMODULE get() const { return module_; }

    std::string Resource(const wchar_t *type, const wchar_t *name) const
    {
        HRSRC found = ::FindResourceW(module_, name, type);
        if (found == nullptr) {
            return {};
        }
        HGLOBAL loaded = ::LoadResource(module_, found);
        const auto *bytes = static_cast<const char *>(::LockResource(loaded));
        return bytes == nullptr ? std::string{}
                                : std::string(bytes, ::SizeofResource(module_, found));
    }

private:
    HMODULE module_;
};

TEST(ProgramResources, VersionRecord)
{
    const std::wstring path = ProgramPath();
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
    const ProgramModule program;
    ASSERT_NE(program.get(), nullptr) << "error " << ::GetLastError();
    const std::string manifest = program.Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    for (const char *wanted :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "asInvoker", ">PerMonitorV2<",
          ">true/pm<", "<longPathAware", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
    // One icon group with the four sizes.
    const std::string group = program.Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
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
