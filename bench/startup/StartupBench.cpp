// Start-up of Qarvel.exe against yardstick programs started the same way (an empty Win32
// window; the same window with Qarvel's controls in it; a second copy of Qarvel.exe, whose
// ratio shows how far apart two identical programs come out): from process start to the
// window shown and the program idle, the median of several starts each, interleaved so all
// see the same machine. Prints the ratios measured in this one run.
//
//   startup-bench <starts> <Qarvel.exe> <yardstick.exe>...

#include "win32/Handles.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Search {
    DWORD processId;
    HWND found;
};

HWND VisibleWindowOf(DWORD processId)
{
    Search search{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto &s = *reinterpret_cast<Search *>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && ::IsWindowVisible(window) &&
                ::GetWindow(window, GW_OWNER) == nullptr) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from CreateProcess to a visible, idle window; negative when it never came.
double TimeOneStart(const std::wstring &exe, const std::wstring &directory)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const auto begin = Clock::now();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.c_str(), &startup, &info)) {
        return -1;
    }
    const qarvel::win32::UniqueHandle process(info.hProcess);
    const qarvel::win32::UniqueHandle thread(info.hThread);
    HWND window = nullptr;
    while ((window = VisibleWindowOf(info.dwProcessId)) == nullptr) {
        if (Clock::now() - begin > std::chrono::seconds(30)) {
            ::TerminateProcess(process.get(), 1);
            return -1;
        }
        ::Sleep(1);
    }
    ::WaitForInputIdle(process.get(), 10000);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    const auto end = Clock::now();
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
    }
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

double Median(std::vector<double> values)
{
    std::ranges::sort(values);
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::wstring FolderOf(const std::wstring &path)
{
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// The program's name with its folder's, which tells two copies of one program apart.
std::wstring ShortName(const std::wstring &path)
{
    const auto slash = FolderOf(path).find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 4) {
        std::fputs("usage: startup-bench <starts> <Qarvel.exe> <yardstick.exe>...\n", stderr);
        return 2;
    }
    const int starts = std::max(10, _wtoi(argv[1]));
    std::vector<std::wstring> programs(argv + 2, argv + argc);

    // One start of each first, untimed: the first start pays for loading the system DLLs.
    for (const auto &program : programs) {
        TimeOneStart(program, FolderOf(program));
    }
    std::vector<std::vector<double>> times(programs.size());
    for (int i = 0; i < starts; ++i) {
        for (size_t p = 0; p < programs.size(); ++p) {
            const double t = TimeOneStart(programs[p], FolderOf(programs[p]));
            if (t < 0) {
                std::fwprintf(stderr, L"startup-bench: %ls did not show its window\n",
                              programs[p].c_str());
                return 1;
            }
            times[p].push_back(t);
        }
    }
    const double qarvel = Median(times[0]);
    std::printf("start-up, medians of %d starts each: Qarvel %.1f ms\n", starts, qarvel);
    for (size_t p = 1; p < programs.size(); ++p) {
        const double yardstick = Median(times[p]);
        std::printf("  against %ls: %.1f ms, ratio %.2f\n", ShortName(programs[p]).c_str(),
                    yardstick, qarvel / yardstick);
    }
    return 0;
}
