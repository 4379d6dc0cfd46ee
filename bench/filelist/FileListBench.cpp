// Filling File1 from large folders: the time to fill the real list against a bare
// FindFirstFileExW enumeration of the same folder, and how the fill grows from 10,000 to
// 100,000 files, all measured in this one run. Prints the ratios; never a pass or fail.
//
//   filelist-bench <folder of 10,000 files> <folder of 100,000 files> [runs]
//
// bench/filelist/run makes the two folders (on Linux, where making 100,000 files is quick;
// Wine makes each new file in time that grows with the folder) and runs this under Wine.

#include "host/HostServices.h"
#include "host/win/Handles.h"
#include "window/win/Form1.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using qarvel::win::Form1;

// The window opens on an empty folder and nothing it could start is ever started.
class QuietHost final : public qarvel::HostServices {
public:
    explicit QuietHost(std::wstring folder) : folder_(std::move(folder)) {}
    qarvel::TaskNumber LaunchCommand(const std::wstring &, qarvel::ShowMode) override
    {
        return qarvel::NoTask;
    }
    qarvel::Answer ShowMessageBox(const std::wstring &prompt, qarvel::MessageStyle) override
    {
        std::fwprintf(stderr, L"message: %ls\n", prompt.c_str());
        return qarvel::Answer::AnswerNo;
    }
    bool SetClipboardText(const std::wstring &) override { return false; }
    bool FileExists(const std::wstring &) override { return false; }
    std::wstring ProgramDirectory() override { return folder_; }
    bool IsEnvironmentVariable(const std::wstring &) override { return false; }

private:
    std::wstring folder_;
};

std::size_t CountFiles(const std::wstring &folder)
{
    WIN32_FIND_DATAW data;
    qarvel::win::UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic,
                                                    &data, FindExSearchNameMatch, nullptr,
                                                    FIND_FIRST_EX_LARGE_FETCH));
    std::size_t files = 0;
    if (!find) {
        return 0;
    }
    do {
        files += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? 1 : 0;
    } while (::FindNextFileW(find.get(), &data));
    return files;
}

template <typename Work> double MedianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    double bare;
    double fill;
};

Figures Measure(Form1 &form, const std::wstring &folder, std::size_t expected, int runs)
{
    form.SetFileListDirectory(folder); // warm the caches
    const auto listed = static_cast<std::size_t>(
        ::SendMessageW(form.ControlHandle(qarvel::ids::File1), LB_GETCOUNT, 0, 0));
    if (listed != expected) {
        std::fwprintf(stderr, L"File1 lists %zu files, expected %zu\n", listed, expected);
    }
    Figures figures{};
    // Interleaved, so both see the same state of the machine.
    std::vector<double> bare;
    std::vector<double> fill;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(MedianMs(1, [&] { CountFiles(folder); }));
        fill.push_back(MedianMs(1, [&] { form.SetFileListDirectory(folder); }));
    }
    std::sort(bare.begin(), bare.end());
    std::sort(fill.begin(), fill.end());
    figures.bare = bare[bare.size() / 2];
    figures.fill = fill[fill.size() / 2];
    return figures;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: filelist-bench <10,000 files> <100,000 files> [runs]\n");
        return 2;
    }
    const std::wstring small = argv[1];
    const std::wstring large = argv[2];
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    for (const auto &[folder, count] : {std::pair{small, 10000u}, std::pair{large, 100000u}}) {
        if (CountFiles(folder) != count) {
            std::fwprintf(stderr, L"%ls does not hold %u files\n", folder.c_str(), count);
            return 2;
        }
    }
    wchar_t temp[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, temp) == 0) {
        return 1;
    }
    // The window opens on an empty folder of its own.
    const std::wstring empty = std::wstring(temp) + L"qarvel-filelist-bench-empty";
    ::CreateDirectoryW(empty.c_str(), nullptr);

    QuietHost host(empty);
    const std::unique_ptr<Form1> form =
        Form1::Create(::GetModuleHandleW(nullptr), host, Form1::OnClose::StayInLoop);
    if (!form) {
        std::fwprintf(stderr, L"no window, error %lu\n", ::GetLastError());
        return 1;
    }
    const Figures at10k = Measure(*form, small, 10000, runs);
    const Figures at100k = Measure(*form, large, 100000, runs);
    // Opening the folder as the user does: Dir1 reads its subfolders, then File1 fills.
    const double open100k = MedianMs(runs, [&] { form->SetOpenDirectory(large); });

    std::wprintf(L"median of %d runs, milliseconds\n", runs);
    std::wprintf(L"  10,000 files:  bare enumeration %8.1f  File1 fill %8.1f  ratio %.2f\n",
                 at10k.bare, at10k.fill, at10k.fill / at10k.bare);
    std::wprintf(L"  100,000 files: bare enumeration %8.1f  File1 fill %8.1f  ratio %.2f\n",
                 at100k.bare, at100k.fill, at100k.fill / at100k.bare);
    std::wprintf(L"  growth 10k -> 100k: File1 fill %.2fx (bare enumeration %.2fx)\n",
                 at100k.fill / at10k.fill, at100k.bare / at10k.bare);
    // What the list adds to reading the folder: sorting and filling.
    const double work10k = at10k.fill - at10k.bare;
    const double work100k = at100k.fill - at100k.bare;
    std::wprintf(L"  list's own work (fill - bare): %.1f and %.1f, growth %.2fx\n", work10k,
                 work100k, work100k / work10k);
    std::wprintf(L"  opening the 100,000-file folder in Dir1 (subfolders + fill): %.1f\n",
                 open100k);
    std::wprintf(L"targets: fill ratio <= 3, growth <= 12\n");
    return 0;
}
