// Start-up of Qarvel.exe against an empty Win32 window program started the same way: from
// process start to the window shown and the program idle, the median of several starts each,
// interleaved so both see the same machine. Prints the ratio measured in this one run.
//
//   startup-bench <Qarvel.exe> <empty-window.exe> [starts]

#include "host/win/Handles.h"

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
    const qarvel::win::UniqueHandle process(info.hProcess);
    const qarvel::win::UniqueHandle thread(info.hThread);
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

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) {
        std::fputs("usage: startup-bench <Qarvel.exe> <empty-window.exe> [starts]\n", stderr);
        return 2;
    }
    const std::wstring qarvel = argv[1];
    const std::wstring empty = argv[2];
    const int starts = argc > 3 ? std::max(10, _wtoi(argv[3])) : 15;

    // One start of each first, untimed: the first start pays for loading the system DLLs.
    TimeOneStart(qarvel, FolderOf(qarvel));
    TimeOneStart(empty, FolderOf(empty));
    std::vector<double> qarvelTimes;
    std::vector<double> emptyTimes;
    for (int i = 0; i < starts; ++i) {
        const double q = TimeOneStart(qarvel, FolderOf(qarvel));
        const double e = TimeOneStart(empty, FolderOf(empty));
        if (q < 0 || e < 0) {
            std::fputs("startup-bench: a program did not show its window\n", stderr);
            return 1;
        }
        qarvelTimes.push_back(q);
        emptyTimes.push_back(e);
    }
    const double q = Median(qarvelTimes);
    const double e = Median(emptyTimes);
    std::printf("start-up: Qarvel %.1f ms, empty window %.1f ms (medians of %d starts each)\n", q,
                e, starts);
    std::printf("start-up ratio: %.2f (target at most 1.30)\n", q / e);
    return 0;
}
