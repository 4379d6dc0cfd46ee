// Works Qarvel.exe as a person would to compress one image in each format given, through the
// real cmd.exe and the bridge copies that the working folder holds, and waits until each tool
// has finished. The caller lays out the folders and checks the results.
//   qarvel_round_trip PROGRAM_DIR WORKING_DIR IMAGE FORMAT... [--pause]
// FORMAT is CHD or ZSO. With --pause it prints "ready" when done and leaves the window open
// until a line arrives on its input (for a screenshot).

#include "tests/e2e/ExpectedTexts.h"
#include "tests/harness/Driver.h"
#include "window/ControlIds.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace qarvel;
using namespace qarvel::drive;

const expected::Format *const Formats[] = {&expected::Chd, &expected::Zso};

bool Fail(const std::wstring &what)
{
    std::fwprintf(stderr, L"round trip: %ls\n", what.c_str());
    return false;
}

int Stop(const std::wstring &what, int code = 1)
{
    Fail(what);
    return code;
}

bool Compress(const RunningQarvel &q, const expected::Format &format,
              const std::wstring &programDir, const std::wstring &workingDir,
              const std::wstring &imageName)
{
    if (!::IsWindowEnabled(q.Control(format.box))) {
        return Fail(format.name + L" box is disabled");
    }
    if (!q.Tick(format.box)) {
        return Fail(format.name + L" box did not tick");
    }
    const ULONGLONG start = ::GetTickCount64();
    Click(q.Control(window::ids::Command1));
    if (!q.ExpectBox(format.Confirmation(imageName), IDYES) || !q.ExpectBox(format.report, IDOK)) {
        return Fail(format.name + L": not the boxes expected");
    }
    const std::wstring output = L"NEW." + format.name;
    const std::wstring result = programDir + L"\\" + output;
    // The bridge copy cmd.exe starts from the working folder. It may not have appeared yet
    // when the result is first looked for: once the file is there, the bridge is gone only
    // when the tool has ended.
    const std::wstring bridge = workingDir + L"\\" + format.tool;
    if (!WaitFor(
            [&] {
                return ::GetFileAttributesW(result.c_str()) != INVALID_FILE_ATTRIBUTES &&
                       ProcessesOf(bridge).empty();
            },
            120s)) {
        return Fail(result + L" did not appear, or its tool did not end");
    }
    std::wprintf(L"%ls: %ls written in %llu ms\n", format.name.c_str(), output.c_str(),
                 ::GetTickCount64() - start);
    std::fflush(stdout);
    return true;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    const bool pause = !args.empty() && args.back() == L"--pause";
    if (pause) {
        args.pop_back();
    }
    if (args.size() < 4) {
        return Stop(L"usage: PROGRAM_DIR WORKING_DIR IMAGE FORMAT... [--pause]", 2);
    }
    const std::wstring &programDir = args[0];
    const std::wstring &image = args[2];
    const auto slash = image.find_last_of(L'\\');
    auto q = RunningQarvel::Start(programDir + L"\\Qarvel.exe", args[1]);
    if (!q) {
        return Stop(L"Qarvel.exe did not start");
    }
    if (!q->OpenFolder(image.substr(0, slash)) || !q->SelectFile(image.substr(slash + 1))) {
        return Stop(L"cannot select " + image);
    }
    for (auto at = args.begin() + 3; at != args.end(); ++at) {
        const expected::Format *format = nullptr;
        for (const expected::Format *known : Formats) {
            format = *at == known->name ? known : format;
        }
        if (format == nullptr) {
            return Stop(L"no format " + *at, 2);
        }
        if (!Compress(*q, *format, programDir, args[1], image.substr(slash + 1))) {
            return 1;
        }
    }
    if (pause) {
        std::wprintf(L"ready\n");
        std::fflush(stdout);
        char line[8];
        std::fgets(line, sizeof line, stdin);
    }
    return q->Close() ? 0 : Stop(L"Qarvel.exe did not close");
}
