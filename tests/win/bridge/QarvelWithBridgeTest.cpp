// Qarvel.exe compressing a real image to CHD under Wine, with the bridge beside it as
// chdman.exe: the box is offered, the command goes through the real cmd.exe and the bridge to
// the Linux chdman, and NEW.CHD appears in the program folder. Given the image to lay and the
// path to copy the result to, so the caller can check it with the Linux chdman. A .cue image
// comes with the track file it names, laid beside it under its own name.
//   qarvel_bridge_e2e_test IMAGE.iso RESULT.chd
//   qarvel_bridge_e2e_test IMAGE.cue RESULT.chd TRACK.bin

#include "actions/Texts.h"
#include "tests/harness/Driver.h"
#include "tests/harness/Lab.h"
#include "window/ControlIds.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>

namespace qarvel::drive {
namespace {

std::wstring ImagePath;
std::wstring TrackPath;
std::wstring ResultPath;

const std::wstring QarvelExe = FromBuildPath(QARVEL_EXE_PATH);
const std::wstring BridgeExe = FromBuildPath(QARVEL_BRIDGE_PATH);

bool BridgeRunning()
{
    const win::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return true;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, L"chdman.exe") == 0) {
            return true;
        }
    }
    return false;
}

TEST(QarvelWithBridge, CompressesARealImageThroughTheLinuxChdman)
{
    ASSERT_FALSE(ImagePath.empty()) << "no image given";
    Lab lab(L"bridge");
    const std::wstring program = lab.Path(L"program (x86) & \u00fc");
    const std::wstring images = lab.Path(L"rips \u00e9");
    // The image keeps its own extension, .iso or .cue.
    const std::wstring image = L"game \u00fc" + ImagePath.substr(ImagePath.rfind(L'.'));
    ASSERT_TRUE(MakeFolders(program));
    ASSERT_TRUE(MakeFolders(images));
    ASSERT_TRUE(CopyInto(QarvelExe, program + L"\\Qarvel.exe"));
    ASSERT_TRUE(CopyInto(BridgeExe, program + L"\\chdman.exe"));
    ASSERT_TRUE(CopyInto(ImagePath, images + L"\\" + image));
    if (!TrackPath.empty()) {
        const std::wstring track = TrackPath.substr(TrackPath.find_last_of(L"\\/") + 1);
        ASSERT_TRUE(CopyInto(TrackPath, images + L"\\" + track));
    }

    // Started from its own folder, where the interpreter then finds chdman.exe by bare name.
    auto q = RunningQarvel::Start(program + L"\\Qarvel.exe", program);
    ASSERT_TRUE(q.has_value());
    EXPECT_TRUE(::IsWindowEnabled(q->Control(ids::Check1)));
    ASSERT_TRUE(q->OpenFolder(images));
    ASSERT_TRUE(q->SelectFile(image));
    Click(q->Control(ids::Check1));
    ASSERT_TRUE(WaitFor(
        [&] { return ::SendMessageW(q->Control(ids::Check1), BM_GETCHECK, 0, 0) == BST_CHECKED; },
        3s));
    Click(q->Control(ids::Command1));
    ASSERT_TRUE(q->ExpectBox(texts::ConfirmStart + image + texts::ConfirmChdEnd, IDYES));
    ASSERT_TRUE(q->ExpectBox(texts::ChdReport, IDOK));

    const std::wstring result = program + L"\\" + texts::ChdOutputName;
    ASSERT_TRUE(WaitFor(
        [&] {
            return ::GetFileAttributesW(result.c_str()) != INVALID_FILE_ATTRIBUTES &&
                   !BridgeRunning();
        },
        30s));
    EXPECT_TRUE(q->Close());
    EXPECT_TRUE(::CopyFileW(result.c_str(), ResultPath.c_str(), FALSE));
}

} // namespace
} // namespace qarvel::drive

int wmain(int argc, wchar_t *argv[])
{
    testing::InitGoogleTest(&argc, argv);
    if (argc == 4) {
        qarvel::drive::TrackPath = argv[3];
    }
    if (argc == 3 || argc == 4) {
        qarvel::drive::ImagePath = argv[1];
        qarvel::drive::ResultPath = argv[2];
    }
    return RUN_ALL_TESTS();
}
