// Opening large folders: the time to read one and fill the real lists from it against a bare
// FindFirstFileExW enumeration of the same folder, and how the fill grows with the number of
// files, all measured in this one run. Prints the ratios; never a pass or fail.
//
//   filelist-bench <runs> <folder>...   (smallest first)
//
// bench/filelist/run makes the folders (on Linux, where making 100,000 files is quick;
// Wine makes each new file in time that grows with the folder) and runs this under Wine.

#include "tests/harness/FakeHost.h"
#include "win32/Handles.h"
#include "window/win/MainWindow.h"

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
using qarvel::window::MainWindow;

std::size_t CountFiles(const std::wstring &folder)
{
    WIN32_FIND_DATAW data;
    qarvel::win32::UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic,
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

Figures Measure(MainWindow &form, const std::wstring &folder, std::size_t expected, int runs)
{
    form.SetOpenDirectory(folder); // warm the caches
    const auto listed = static_cast<std::size_t>(::SendMessageW(
        ::GetDlgItem(form.Handle(), qarvel::window::ids::FileList), LB_GETCOUNT, 0, 0));
    if (listed != expected) {
        std::fwprintf(stderr, L"The file list lists %zu files, expected %zu\n", listed, expected);
    }
    Figures figures{};
    // Interleaved, so both see the same state of the machine.
    std::vector<double> bare;
    std::vector<double> fill;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(MedianMs(1, [&] { CountFiles(folder); }));
        fill.push_back(MedianMs(1, [&] { form.SetOpenDirectory(folder); }));
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
        std::fwprintf(stderr, L"usage: filelist-bench <runs> <folder>... (smallest first)\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    std::vector<std::pair<std::wstring, std::size_t>> folders;
    for (int i = 2; i < argc; ++i) {
        folders.emplace_back(argv[i], CountFiles(argv[i]));
        if (folders.back().second == 0) {
            std::fwprintf(stderr, L"%ls holds no files\n", argv[i]);
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

    // The window opens on an empty folder and nothing it could start is ever started.
    qarvel::drive::FakeHost host;
    host.programDirectory = empty;
    host.task = qarvel::NoTask;
    host.answer = qarvel::Answer::AnswerNo;
    const std::unique_ptr<MainWindow> form =
        MainWindow::Create(::GetModuleHandleW(nullptr), host, MainWindow::OnClose::StayInLoop);
    if (!form) {
        std::fwprintf(stderr, L"no window, error %lu\n", ::GetLastError());
        return 1;
    }
    std::vector<Figures> figures;
    for (const auto &[folder, count] : folders) {
        figures.push_back(Measure(*form, folder, count, runs));
    }
    std::wprintf(L"Opening a folder (one reading fills both lists) against a bare FindFirstFileExW "
                 L"enumeration, median of %d runs (ms)\n",
                 runs);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        std::wprintf(L"  %7zu files: bare %8.1f  fill %8.1f  fill ratio %.2f (target <= 3)\n",
                     folders[i].second, figures[i].bare, figures[i].fill,
                     figures[i].fill / figures[i].bare);
    }
    for (std::size_t i = 1; i < folders.size(); ++i) {
        const double files =
            static_cast<double>(folders[i].second) / static_cast<double>(folders[i - 1].second);
        std::wprintf(L"  growth %zu -> %zu files (%.0fx the files): fill %.2fx, bare %.2fx "
                     L"(target <= %.0f)\n",
                     folders[i - 1].second, folders[i].second, files,
                     figures[i].fill / figures[i - 1].fill, figures[i].bare / figures[i - 1].bare,
                     files * 1.2);
    }
    return 0;
}
