// Works Qarvel.exe as a person would to compress one image in each format given, through the
// real cmd.exe and the bridge copies that the working folder holds, and waits for the box that
// says the run is over. The caller lays out the folders (bridge_lay_out) and checks the
// results.
//   qarvel_round_trip PROGRAM_DIR WORKING_DIR IMAGE FORMAT... [OPTION]
// FORMAT is CHD or ZSO. The options:
//   --pause         prints "ready" when done and leaves the window open until a line arrives
//                   on its input (for a screenshot)
//   --press-again   presses " iSO" again once the tool has made its file, and expects to be
//                   told that the run goes on
//   --lz4-missing   expects the run to end with the box that says lz4 is missing
//   --unreadable    ... the box that says ziso.py could not read the image
//   --no-room       ... the box that says ziso.py ran out of room

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

enum class Option { None, Pause, PressAgain, Lz4Missing, Unreadable, NoRoom };

bool Compress(const RunningQarvel &q, const expected::Format &format,
              const std::wstring &programDir, const std::wstring &image, Option option)
{
    const std::wstring imageName = image.substr(image.find_last_of(L'\\') + 1);
    if (!::IsWindowEnabled(q.Control(format.box))) {
        return Fail(format.name + L" box is disabled");
    }
    if (!q.Tick(format.box)) {
        return Fail(format.name + L" box did not tick");
    }
    const ULONGLONG start = ::GetTickCount64();
    Click(q.Control(window::ids::CompressButton));
    if (!q.ExpectBox(format.Confirmation(imageName), IDYES)) {
        return Fail(format.name + L": not the question expected");
    }
    const std::wstring output = L"NEW." + format.name;
    const std::wstring result = programDir + L"\\" + output;
    if (option == Option::PressAgain) {
        if (!WaitFor(
                [&] { return ::GetFileAttributesW(result.c_str()) != INVALID_FILE_ATTRIBUTES; },
                60s)) {
            return Fail(result + L" did not appear");
        }
        Click(q.Control(window::ids::CompressButton));
        if (!q.ExpectBox(expected::StillRunning(format.Tool(), output, image), IDOK)) {
            return Fail(format.name + L": a second press was not told that the run goes on");
        }
    }
    if (option == Option::Lz4Missing) {
        return q.ExpectBox(expected::MissingLz4(image), IDOK, RunningQarvel::Text::Whole, 120s)
                   ? true
                   : Fail(format.name + L": not told that lz4 is missing");
    }
    if (option == Option::Unreadable || option == Option::NoRoom) {
        const std::wstring told = option == Option::Unreadable
                                      ? L"ziso.py could not read " + image + L", or the image"
                                      : L"ziso.py ran out of room on the disk ";
        return q.ExpectBox(told, IDOK, RunningQarvel::Text::Start, 120s)
                   ? true
                   : Fail(format.name + L": not told its cause: " + told);
    }
    // The box comes when the tool has ended, its output made.
    const auto told = q.WaitForMessageBox(240s);
    const std::wstring created = format.report + L"\r\n" + imageName + L" ";
    if (!told || !told->text.starts_with(created) || !q.Answer(*told, IDOK)) {
        return Fail(format.name + L": not told it was created" +
                    (told ? L", but: " + told->text : std::wstring()));
    }
    if (!q.ExpectBox(expected::NameQuestion(format), IDNO, RunningQarvel::Text::Start)) {
        return Fail(format.name + L": not asked to name it after its image");
    }
    std::wprintf(L"%ls: %ls written in %llu ms\n%ls: Qarvel said: %ls\n", format.name.c_str(),
                 output.c_str(), ::GetTickCount64() - start, format.name.c_str(),
                 told->text.substr(format.report.size() + 2).c_str());
    std::fflush(stdout);
    return true;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    Option option = Option::None;
    const std::pair<const wchar_t *, Option> options[] = {{L"--pause", Option::Pause},
                                                          {L"--press-again", Option::PressAgain},
                                                          {L"--lz4-missing", Option::Lz4Missing},
                                                          {L"--unreadable", Option::Unreadable},
                                                          {L"--no-room", Option::NoRoom}};
    for (const auto &[name, value] : options) {
        if (!args.empty() && args.back() == name) {
            option = value;
            args.pop_back();
        }
    }
    if (args.size() < 4) {
        return Stop(L"usage: PROGRAM_DIR WORKING_DIR IMAGE FORMAT... [--pause | --press-again | "
                    L"--lz4-missing]",
                    2);
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
        if (!Compress(*q, *format, programDir, image, option)) {
            return 1;
        }
    }
    if (option == Option::Pause) {
        std::wprintf(L"ready\n");
        std::fflush(stdout);
        char line[8];
        std::fgets(line, sizeof line, stdin);
    }
    return q->Close() ? 0 : Stop(L"Qarvel.exe did not close");
}
