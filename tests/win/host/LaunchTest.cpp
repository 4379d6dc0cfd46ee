// Command lines started through the real cmd.exe reach the tool intact, the start does not
// wait for the tool, and a cmd.exe planted beside the program or in the working directory is
// never the interpreter that runs.

#include "host/win/WinHost.h"
#include "tests/harness/Lab.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qarvel::drive {
namespace {

std::wstring ChdLine(const std::wstring &input, const std::wstring &output)
{
    return L"cmd.exe /c chdman createcd -i \"" + input + L"\" -o \"" + output + L"\"";
}

std::vector<std::wstring> ChdArgs(const std::wstring &input, const std::wstring &output)
{
    return {L"chdman", L"createcd", L"-i", input, L"-o", output};
}

// Each test runs in its own working directory holding chdman.exe and a planted cmd.exe, both
// recorders writing to its record file. Another planted cmd.exe lies beside this test program
// (put there by the build).
class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t *tool : {L"chdman.exe", L"cmd.exe"}) {
            ASSERT_TRUE(CopyInto(RecorderExe(), work_.Path(tool))) << ::GetLastError();
        }
        ASSERT_TRUE(host_.FileExists(FromBuildPath(QARVEL_TEST_PROGRAM_DIR) + L"\\cmd.exe"))
            << "the build plants cmd.exe beside the test program";

        wchar_t previous[MAX_PATH + 1];
        ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH + 1, previous), 0u);
        previousDirectory_ = previous;
        ASSERT_TRUE(::SetCurrentDirectoryW(work_.Root().c_str()));
        ::SetEnvironmentVariableW(record::DelayVariable, nullptr);
        // The paths given name folders that are not there; nothing is written to them.
        ::SetEnvironmentVariableW(record::OutputVariable, L"none");
    }

    void TearDown() override
    {
        ::SetEnvironmentVariableW(record::DelayVariable, nullptr);
        ::SetEnvironmentVariableW(record::OutputVariable, nullptr);
        ::SetEnvironmentVariableW(record::FileVariable, nullptr);
        if (!previousDirectory_.empty()) {
            ::SetCurrentDirectoryW(previousDirectory_.c_str());
        }
    }

    // The one record the launch left, which must come from chdman.exe in the working
    // directory: a record of cmd.exe would mean a planted interpreter ran.
    record::Record SingleChdmanRecord()
    {
        const std::vector<record::Record> records = work_.WaitForRecords(1);
        if (records.size() != 1) {
            ADD_FAILURE() << "records: " << records.size();
            return {};
        }
        EXPECT_TRUE(EndsWithNoCase(records[0].program, L"\\chdman.exe")) << records[0].program;
        return records[0];
    }

    auto Run(const std::wstring &line)
    {
        return host_.LaunchCommand(line, ShowMode::ShowMinimisedWithFocus);
    }

    Lab work_;
    std::wstring previousDirectory_;
    host::WinHost host_;
};

TEST_F(Launch, QuotedPathsReachTheToolIntact)
{
    const std::pair<const wchar_t *, const wchar_t *> cases[] = {
        {L"D:\\rips\\game.iso", L"C:\\tools\\NEW.CHD"},
        {L"C:\\Program Files (x86)\\My Games\\Disc 1.cue", L"C:\\Program Files (x86)\\Q\\NEW.CHD"},
        {L"D:\\Tom & Jerry\\a&b.iso", L"C:\\R&D\\NEW.CHD"},
        {L"D:\\Jeux vidéo\\Ærø Ünïcödé\\Жар-птица 日本語.iso", L"C:\\Ñandú\\NEW.CHD"},
        {L"D:\\odd;name,=x'y`z^w!v\\game.iso", L"C:\\\\NEW.CHD"},
    };
    for (const auto &[input, output] : cases) {
        SCOPED_TRACE(testing::Message() << "input " << input);
        ::DeleteFileW(work_.RecordFile().c_str());
        const std::wstring line = ChdLine(input, output);

        EXPECT_NE(Run(line), NoTask);

        const record::Record got = SingleChdmanRecord();
        EXPECT_EQ(got.args, ChdArgs(input, output));
        EXPECT_EQ(got.commandLine, line.substr(std::wstring(L"cmd.exe /c ").size()));
    }
}

TEST_F(Launch, ReturnsWhileTheToolStillRuns)
{
    // The tool sleeps 5 s before it records: a launch that waited for it would find the
    // record already written when it returns.
    ASSERT_TRUE(::SetEnvironmentVariableW(record::DelayVariable, L"5000"));
    const ULONGLONG start = ::GetTickCount64();

    EXPECT_NE(Run(ChdLine(L"D:\\rips\\slow.iso", L"C:\\tools\\NEW.CHD")), NoTask);

    const ULONGLONG returnedAfter = ::GetTickCount64() - start;
    EXPECT_TRUE(work_.Records().empty()) << "returned after " << returnedAfter;
    EXPECT_LT(returnedAfter, 4000u);
    SingleChdmanRecord(); // and the tool did run, later
}

TEST_F(Launch, PlantedInterpretersNeverRun)
{
    // cmd.exe lies in the working directory and in the program's directory, both searched
    // before the system directory when no program path is given.
    EXPECT_NE(Run(ChdLine(L"D:\\rips\\game.iso", L"C:\\tools\\NEW.CHD")), NoTask);

    SingleChdmanRecord();
    ::Sleep(300); // a planted copy started as well would have recorded by now
    for (const record::Record &r : work_.Records()) {
        EXPECT_FALSE(EndsWithNoCase(r.program, L"\\cmd.exe")) << r.program;
    }
}

TEST_F(Launch, LinesUpToTheInterpretersLimitRunLongerOnesDoNot)
{
    // cmd.exe runs lines of up to 8191 characters; the input path fills the line to the limit.
    const std::wstring output = L"C:\\tools\\NEW.CHD";
    const size_t fixed = ChdLine(L"", output).size();
    const std::wstring longest = L"D:\\" + std::wstring(8191 - fixed - 7, L'x') + L".iso";
    ASSERT_EQ(ChdLine(longest, output).size(), 8191u);

    EXPECT_NE(Run(ChdLine(longest, output)), NoTask);
    EXPECT_EQ(SingleChdmanRecord().args, ChdArgs(longest, output));

    ::DeleteFileW(work_.RecordFile().c_str());
    EXPECT_EQ(Run(ChdLine(longest + L"x", output)), NoTask);
    ::Sleep(300);
    EXPECT_TRUE(work_.Records().empty());
}

// Compressions must be watched, so the converter and pip leave them room, and the watch is as
// large as the message loop's one wait can take; an exit code that cannot be read is told as
// such, never as 0.
TEST(TaskWatch, KeepsRoomForCompressionsAndNeverTakesAnUnreadableCodeForSuccess)
{
    host::WinHost host;
    host::TaskWatch &watch = host.Tasks();
    const auto add = [&watch](TaskNumber task) {
        // An event stands in for a process: it is waitable, and has no exit code.
        watch.Add({task, win32::UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr))});
    };
    const auto waitTakesAll = [&watch] {
        return ::MsgWaitForMultipleObjectsEx(static_cast<DWORD>(watch.Handles().size()),
                                             watch.Handles().data(), 0, QS_ALLINPUT,
                                             0) != WAIT_FAILED;
    };
    TaskNumber task = 1;
    while (watch.HasRoom(Watch::IfRoom)) {
        add(task++);
    }
    const std::size_t forAnyTool = watch.Handles().size();
    while (watch.HasRoom(Watch::Always)) {
        add(task++);
    }
    EXPECT_EQ(watch.Handles().size(), forAnyTool + 2) << "one compression for each output";
    EXPECT_TRUE(waitTakesAll()) << "the watch holds more than the wait takes";
    add(task++);
    EXPECT_FALSE(waitTakesAll()) << "the wait takes more than the watch holds";
    const host::EndedTask ended = host.TakeEnded(0);
    EXPECT_EQ(ended.task, 1u);
    EXPECT_FALSE(ended.code.has_value());
    host.TakeEnded(0);
    EXPECT_TRUE(watch.HasRoom(Watch::Always));
}

} // namespace
} // namespace qarvel::drive
